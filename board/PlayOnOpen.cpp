#include "board/PlayOnOpen.h"

#include "board/WavReader.h"
#include "modem/FeldHellRates.h"

#include <algorithm>

namespace
{
// How often the port is looked at while the recording waits: five times a second.
constexpr std::size_t kLookSamples = FeldHellRates::kSampleRate / 5;
} // namespace

CPlayOnOpen::CPlayOnOpen(CWavReader& reader, OpenedQuery isOpened, Reporter report)
    : m_Reader(reader), m_IsOpened(std::move(isOpened)), m_Report(std::move(report))
{
    m_Report("Waiting for a program to open the port before playing " + m_Reader.GetPath());
}

void CPlayOnOpen::Read(float* pSamples, std::size_t nSamples)
{
    if (!m_bStarted)
    {
        m_nUntilLook -= std::min(m_nUntilLook, nSamples);
        if (m_nUntilLook > 0 || !m_IsOpened())
        {
            if (m_nUntilLook == 0)
                m_nUntilLook = kLookSamples;
            std::fill(pSamples, pSamples + nSamples, 0.0f);
            return;
        }
        m_bStarted = true;
        m_Report("Playing " + m_Reader.GetPath());
    }
    m_Reader.Read(pSamples, nSamples);
    if (!m_bEnded && m_Reader.IsFinished())
    {
        m_bEnded = true;
        m_Report("The end of " + m_Reader.GetPath() + ": silence follows");
    }
}
