#include "board/RemoteStation.h"

#include "engine/FeldHellEncoder.h"
#include "link/TxItems.h"
#include "modem/FeldHellRates.h"

CRemoteStation::CRemoteStation(const CHellFont& font, std::string strText, double dToneHz, double dPpm)
    : m_Font(font), m_strText(std::move(strText)),
      m_Keyer(dToneHz, FeldHellRates::kPixelRate * (1.0 + dPpm * 1e-6), [this] { return NextPixel(); })
{
    if (m_strText.empty() || m_strText.back() != ' ')
        m_strText += ' ';
}

bool CRemoteStation::NextPixel()
{
    if (m_Items.IsEmpty())
    {
        const char c = m_strText[m_nNext];
        m_nNext = (m_nNext + 1) % m_strText.size();
        m_strSent += c;
        FeldHellEncoder::AppendItems(m_Font, static_cast<unsigned char>(c), m_Items);
    }
    return m_Items.RemoveHead() == TxItems::kMarked;
}
