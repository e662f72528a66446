#include "audio/QueueKeeper.h"

CQueueKeeper::CQueueKeeper(std::int64_t nBand, std::int64_t nSpacing) : m_nBand(nBand), m_nSpacing(nSpacing)
{
}

int CQueueKeeper::Correction(std::int64_t nQueued, std::size_t nSamples)
{
    if (!m_bLevelKnown)
    {
        m_bLevelKnown = true;
        m_nLevel = nQueued;
        return 0;
    }
    m_nSinceCorrection += static_cast<std::int64_t>(nSamples);
    if (nSamples == 0 || m_nSinceCorrection < m_nSpacing)
        return 0;
    const int nCorrection = nQueued > m_nLevel + m_nBand ? -1 : nQueued < m_nLevel - m_nBand ? 1 : 0;
    if (nCorrection != 0)
        m_nSinceCorrection = 0;
    return nCorrection;
}
