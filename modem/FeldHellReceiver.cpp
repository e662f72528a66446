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
// sample. It keeps its shape in pixels at every pace; FSK's is wider by half the shift, to pass
// both tones.
firfilt_crcf CreateFilter(int nSampleRate, const CHellMode& mode)
{
    const double dPace = mode.GetPaceFactor();
    const auto nTaps = static_cast<unsigned>(
        2 * std::lround(nSampleRate * CFeldHellReceiver::kFilterSeconds / dPace / 2) + 1);
    const double dCutoffHz = CFeldHellReceiver::kCutoffHz * dPace + mode.m_dShiftHz / 2;
    std::vector<float> taps(nTaps);
    liquid_firdes_kaiser(nTaps, static_cast<float>(dCutoffHz / nSampleRate), kStopBandDb, 0.0f, taps.data());
    float fSum = 0.0f;
    for (const float f : taps)
        fSum += f;
    for (float& f : taps)
        f /= fSum;
    return firfilt_crcf_create(taps.data(), nTaps);
}
} // namespace

CFeldHellReceiver::CFeldHellReceiver(double dToneHz, int nSampleRate, const CHellMode& mode)
    : m_nSampleRate(nSampleRate), m_Mode(mode), m_pNco(nco_crcf_create(LIQUID_NCO)),
      m_pFilter(CreateFilter(nSampleRate, mode)),
      // Feld-Hell's slot rate for every mode: the AGC's hold and fall keep their length in pixels.
      m_Agc(FeldHellRates::kLevelRate, kAgcFloor),
      m_Spectrum(nSampleRate, [this](std::span<const float> power) { OnSpectrum(power); }),
      m_Tracker(m_Spectrum.GetBinHz(), mode.GetWidthFactor(), mode.m_dShiftHz)
{
    if (mode.m_nKeying == EHellKeying::Fsk)
    {
        // The discriminator gives -1 on the lower tone and +1 on the upper; its output is
        // smoothed over half a pixel.
        m_pDiscriminator = freqdem_create(static_cast<float>(mode.m_dShiftHz / 2 / nSampleRate));
        const auto nSmooth =
            static_cast<unsigned>(std::max<long>(1, std::lround(nSampleRate / mode.GetLevelRate())));
        m_pPositionFilter = firfilt_rrrf_create_rect(nSmooth);
        firfilt_rrrf_set_scale(m_pPositionFilter, 1.0f / static_cast<float>(nSmooth));
    }
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
    if (m_pDiscriminator != nullptr)
    {
        freqdem_destroy(m_pDiscriminator);
        firfilt_rrrf_destroy(m_pPositionFilter);
    }
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
        const float fMagnitude = MarkMagnitude(filtered);
        if (m_nSample != m_Mode.FirstSampleOfLevel(m_nLevel, m_nSampleRate))
            continue;
        ++m_nLevel;
        levels.push_back(m_Agc.Process(fMagnitude));
    }
}

float CFeldHellReceiver::MarkMagnitude(std::complex<float> filtered)
{
    if (m_pDiscriminator == nullptr)
        return std::abs(filtered);
    float fOffset = 0.0f;
    freqdem_demodulate(m_pDiscriminator, filtered, &fOffset);
    firfilt_rrrf_push(m_pPositionFilter, fOffset);
    float fSmoothed = 0.0f;
    firfilt_rrrf_execute(m_pPositionFilter, &fSmoothed);
    const float fLower = std::clamp((1.0f - fSmoothed) / 2.0f, 0.0f, 1.0f);
    return std::abs(filtered) * fLower;
}
