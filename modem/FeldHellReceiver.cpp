#include "modem/FeldHellReceiver.h"

#include "modem/FeldHellRates.h"

#include <complex>

#include <liquid/liquid.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace
{
constexpr float kStopBandDb = 60.0f;
// The magnitude below which the AGC takes nothing for a mark: a tone 80 dB below full scale
// (which mixes down to half its amplitude). Silence stays black.
constexpr double kAgcFloor = 0.5e-4;

// The low-pass, scaled to a gain of one for the tone itself; an odd length centres its delay on a
// sample.
firfilt_crcf CreateFilter(int nSampleRate)
{
    const auto nTaps =
        static_cast<unsigned>(2 * std::lround(nSampleRate * CFeldHellReceiver::kFilterSeconds / 2) + 1);
    std::vector<float> taps(nTaps);
    liquid_firdes_kaiser(nTaps, static_cast<float>(CFeldHellReceiver::kCutoffHz / nSampleRate), kStopBandDb,
                         0.0f, taps.data());
    float fSum = 0.0f;
    for (const float f : taps)
        fSum += f;
    for (float& f : taps)
        f /= fSum;
    return firfilt_crcf_create(taps.data(), nTaps);
}
} // namespace

CFeldHellReceiver::CFeldHellReceiver(double dToneHz, int nSampleRate)
    : m_nSampleRate(nSampleRate), m_pNco(nco_crcf_create(LIQUID_NCO)), m_pFilter(CreateFilter(nSampleRate)),
      m_Agc(FeldHellRates::kLevelRate, kAgcFloor),
      m_Spectrum(nSampleRate, [this](std::span<const float> power) { OnSpectrum(power); }),
      m_Tracker(m_Spectrum.GetBinHz())
{
    SetToneHz(dToneHz);
}

void CFeldHellReceiver::SetToneHz(double dToneHz)
{
    m_dToneHz = dToneHz;
    m_Tracker.SetToneHz(dToneHz);
    Listen(dToneHz);
}

void CFeldHellReceiver::SetAfc(bool bOn)
{
    m_bAfc = bOn;
    m_Tracker.SetToneHz(m_dToneHz);
    Listen(m_dToneHz);
}

void CFeldHellReceiver::Listen(double dHz)
{
    m_dListeningHz = dHz;
    nco_crcf_set_frequency(m_pNco, static_cast<float>(2 * std::numbers::pi * dHz / m_nSampleRate));
}

void CFeldHellReceiver::OnSpectrum(std::span<const float> power)
{
    if (m_bAfc)
    {
        m_Tracker.Process(power);
        if (m_Tracker.GetFrequencyHz() != m_dListeningHz)
            Listen(m_Tracker.GetFrequencyHz());
    }
    if (m_OnSpectrum)
        m_OnSpectrum(power);
}

CFeldHellReceiver::~CFeldHellReceiver()
{
    firfilt_crcf_destroy(m_pFilter);
    nco_crcf_destroy(m_pNco);
}

void CFeldHellReceiver::Process(const float* pAudio, std::size_t nSamples, std::vector<std::uint8_t>& levels)
{
    // The spectra of the block come first, so that AFC retunes before it is demodulated.
    if (m_bAfc || m_OnSpectrum)
        m_Spectrum.Process(pAudio, nSamples);
    for (std::size_t i = 0; i < nSamples; ++i, ++m_nSample)
    {
        std::complex<float> mixed;
        nco_crcf_mix_down(m_pNco, std::complex<float>(pAudio[i], 0.0f), &mixed);
        nco_crcf_step(m_pNco);
        std::complex<float> filtered;
        firfilt_crcf_execute_one(m_pFilter, mixed, &filtered);
        if (m_nSample != FeldHellRates::FirstSampleOfLevel(m_nLevel, m_nSampleRate))
            continue;
        ++m_nLevel;
        levels.push_back(m_Agc.Process(std::abs(filtered)));
    }
}
