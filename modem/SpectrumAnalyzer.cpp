#include "modem/SpectrumAnalyzer.h"

#include <complex>

#include <liquid/liquid.h>

#include <bit>
#include <cmath>

namespace
{
// The smallest power of two whose bins are no wider than CSpectrumAnalyzer::kMaxBinHz.
std::size_t SizeFor(int nSampleRate)
{
    return std::bit_ceil(static_cast<std::size_t>(std::ceil(nSampleRate / CSpectrumAnalyzer::kMaxBinHz)));
}
} // namespace

CSpectrumAnalyzer::CSpectrumAnalyzer(int nSampleRate, SpectrumHandler onSpectrum)
    : m_OnSpectrum(std::move(onSpectrum)), m_nSize(SizeFor(nSampleRate)),
      m_dBinHz(static_cast<double>(nSampleRate) / static_cast<double>(m_nSize)), m_Window(m_nSize),
      m_History(m_nSize), m_In(m_nSize), m_Out(m_nSize),
      m_pPlan(fft_create_plan(static_cast<unsigned>(m_nSize), m_In.data(), m_Out.data(), LIQUID_FFT_FORWARD, 0)),
      m_Power(m_nSize / 2)
{
    // A tone's amplitude comes out of the window's sum halved (the other half is the negative
    // frequency): scaled by that, its bin's power is its amplitude squared.
    float fSum = 0.0f;
    for (std::size_t i = 0; i < m_nSize; ++i)
        fSum += m_Window[i] = liquid_hann(static_cast<unsigned>(i), static_cast<unsigned>(m_nSize));
    for (float& f : m_Window)
        f *= 2.0f / fSum;
}

CSpectrumAnalyzer::~CSpectrumAnalyzer()
{
    fft_destroy_plan(m_pPlan);
}

void CSpectrumAnalyzer::Process(const float* pAudio, std::size_t nSamples)
{
    for (std::size_t i = 0; i < nSamples; ++i)
    {
        m_History[m_nHistoryPos] = pAudio[i];
        m_nHistoryPos = (m_nHistoryPos + 1) % m_nSize;
        if (++m_nSinceSpectrum == m_nSize / 2)
        {
            m_nSinceSpectrum = 0;
            MakeSpectrum();
        }
    }
}

void CSpectrumAnalyzer::MakeSpectrum()
{
    for (std::size_t i = 0; i < m_nSize; ++i)
        m_In[i] = m_History[(m_nHistoryPos + i) % m_nSize] * m_Window[i];
    fft_execute(m_pPlan);
    for (std::size_t k = 0; k < m_Power.size(); ++k)
        m_Power[k] = std::norm(m_Out[k]);
    m_OnSpectrum(m_Power);
}
