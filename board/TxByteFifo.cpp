#include "board/TxByteFifo.h"

#include "link/TxItems.h"

void CTxByteFifo::Push(const std::uint8_t* pBytes, std::size_t nBytes)
{
    m_Bytes.insert(m_Bytes.end(), pBytes, pBytes + nBytes);
    while (m_Bytes.size() > kIdleBacklog && m_Bytes.front() == TxItems::kReceive &&
           m_Bytes[1] == TxItems::kReceive)
        m_Bytes.pop_front();
}

std::uint8_t CTxByteFifo::Pop()
{
    if (m_Bytes.empty())
        m_bFilling = true;
    else if (m_bFilling && m_Bytes.size() >= kSlack)
        m_bFilling = false;
    if (m_bFilling)
    {
        if (++m_nStarved >= kWatchdogPixels)
            m_nLast = TxItems::kReceive;
        return static_cast<std::uint8_t>(m_nLast & TxItems::kKeyed);
    }
    m_nStarved = 0;
    m_nLast = m_Bytes.front();
    m_Bytes.pop_front();
    return m_nLast;
}
