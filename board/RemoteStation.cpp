#include "board/RemoteStation.h"

#include "engine/FeldHellEncoder.h"
#include "link/TxItems.h"

#include <cmath>

CRemoteStation::CRemoteStation(const CHellFont& font, std::string strText, double dToneHz, double dPpm,
                               CSchedule schedule, const CHellMode& mode, int nSampleRate)
    : m_Font(font), m_strText(std::move(strText)), m_dToneHz(dToneHz), m_nSampleRate(nSampleRate),
      m_Schedule(schedule),
      m_nPauseItems(std::llround(schedule.m_dPauseSeconds * mode.GetPixelRate())),
      m_Transmitter([this] { return NextItem(); }, dToneHz, nSampleRate, mode, dPpm)
{
    if (m_strText.empty() || m_strText.back() != ' ')
        m_strText += ' ';
}

void CRemoteStation::Generate(std::complex<float>* pOut, std::size_t nSamples)
{
    if (m_Schedule.m_dDriftHzPerSecond != 0.0)
        m_Transmitter.SetToneHz(m_dToneHz + m_Schedule.m_dDriftHzPerSecond * static_cast<double>(m_nSample) /
                                                m_nSampleRate);
    m_nSample += nSamples;
    m_Transmitter.GenerateAnalytic(pOut, nSamples);
}

std::uint8_t CRemoteStation::NextItem()
{
    const std::int64_t nItem = m_nItem++;
    if (m_Items.IsEmpty())
    {
        // Every copy but the first begins with the pause, the transmitter off.
        if (m_nNext == 0)
        {
            if (!m_CopyStarts.empty())
                m_Items.AddTail(TxItems::kReceive, static_cast<std::size_t>(m_nPauseItems));
            m_CopyStarts.push_back(nItem + static_cast<std::int64_t>(m_Items.GetCount()));
        }
        const char c = m_strText[m_nNext];
        m_nNext = (m_nNext + 1) % m_strText.size();
        m_strSent += c;
        FeldHellEncoder::AppendItems(m_Font, static_cast<unsigned char>(c), m_Items);
    }
    return static_cast<std::uint8_t>(m_Items.RemoveHead());
}
