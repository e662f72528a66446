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
// The AGC holds the mean power of the filtered signal at one; this bandwidth gives it a time
// constant of a few seconds: it follows the signal's strength, but never pumps on the marks and
// gaps of the characters themselves (a faster one loses more characters than it saves in fades).
// It is per sample, at 8000 samples a second.
constexpr float kAgcBandwidth = 5e-5f;
// Keyed text is marked about a quarter of the time, so a mark comes out of the AGC near 2;
// this puts it near 200 and leaves room above.
constexpr float kLevelScale = 95.0f;
// What the AGC would settle to for a full-scale tone keyed with text: the tone is at half its
// amplitude after mixing, and marked a quarter of the time. Starting there spares the first
// characters the AGC's swing into place.
constexpr float kInitialGain = 4.0f;

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
      m_pAgc(agc_crcf_create())
{
    SetToneHz(dToneHz);
    // The bandwidth is per sample: scaled, it keeps the AGC's time constant at any rate.
    agc_crcf_set_bandwidth(
        m_pAgc,
        kAgcBandwidth * static_cast<float>(static_cast<double>(FeldHellRates::kSampleRate) / nSampleRate));
    agc_crcf_set_gain(m_pAgc, kInitialGain);
}

void CFeldHellReceiver::SetToneHz(double dToneHz)
{
    nco_crcf_set_frequency(m_pNco, static_cast<float>(2 * std::numbers::pi * dToneHz / m_nSampleRate));
}

CFeldHellReceiver::~CFeldHellReceiver()
{
    agc_crcf_destroy(m_pAgc);
    firfilt_crcf_destroy(m_pFilter);
    nco_crcf_destroy(m_pNco);
}

void CFeldHellReceiver::Process(const float* pAudio, std::size_t nSamples, std::vector<std::uint8_t>& levels)
{
    for (std::size_t i = 0; i < nSamples; ++i, ++m_nSample)
    {
        std::complex<float> mixed;
        nco_crcf_mix_down(m_pNco, std::complex<float>(pAudio[i], 0.0f), &mixed);
        nco_crcf_step(m_pNco);
        std::complex<float> filtered;
        firfilt_crcf_execute_one(m_pFilter, mixed, &filtered);
        std::complex<float> levelled;
        agc_crcf_execute(m_pAgc, filtered, &levelled);
        if (m_nSample != FeldHellRates::FirstSampleOfLevel(m_nLevel, m_nSampleRate))
            continue;
        ++m_nLevel;
        const float fLevel = std::min(255.0f, std::abs(levelled) * kLevelScale);
        levels.push_back(static_cast<std::uint8_t>(std::lround(fLevel)));
    }
}
