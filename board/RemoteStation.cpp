#include "board/RemoteStation.h"

#include "engine/FeldHellEncoder.h"
#include "modem/FeldHellRates.h"

CRemoteStation::CRemoteStation(const CHellFont& font, std::string strText, double dToneHz, double dPpm)
    : m_Font(font), m_strText(std::move(strText)),
      m_Transmitter([this] { return NextItem(); }, dToneHz, FeldHellRates::kSampleRate,
                    FeldHellRates::kPixelRate * (1.0 + dPpm * 1e-6))
{
    if (m_strText.empty() || m_strText.back() != ' ')
        m_strText += ' ';
}

std::uint8_t CRemoteStation::NextItem()
{
    if (m_Items.IsEmpty())
    {
        const char c = m_strText[m_nNext];
        m_nNext = (m_nNext + 1) % m_strText.size();
        m_strSent += c;
        FeldHellEncoder::AppendItems(m_Font, static_cast<unsigned char>(c), m_Items);
    }
    return static_cast<std::uint8_t>(m_Items.RemoveHead());
}
