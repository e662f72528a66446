#pragma once

#include "modem/FeldHellRates.h"
#include "modem/HellMode.h"
#include "modem/PeakAgc.h"
#include "modem/SpectrumAnalyzer.h"
#include "modem/ToneTracker.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct nco_crcf_s;
struct firfilt_crcf_s;
struct firfilt_rrrf_s;
struct freqdem_s;

// A Hell receiver: mixes the audio to baseband at the tone, low-passes it to the width of the
// mode's signal, takes the magnitude twice per pixel (490 times a second at Feld-Hell) and scales
// it to 0..255 by the strongest marks of the last 490 level slots (a second at Feld-Hell:
// CPeakAgc). For FSK the magnitude is weighted by where the signal sits between the two tones (1
// on the lower, marked one, 0 on the upper), so that a blank pixel is dark however strong the
// signal. With AFC on it listens where the signal is, within CToneTracker::kCaptureHz of the tone,
// as the audio's spectra show it. Filter, AGC and AFC scale with the mode's pace and width; the
// filter keeps its response in time at any sample rate, and its cost grows with the rate.
class CFeldHellReceiver
{
public:
    // At Feld-Hell, about the width that passes one pixel (1/245 s) and as little noise as can
    // be: a wider filter sharpens the picture but loses several dB in noise. Other paces scale it.
    static constexpr double kCutoffHz = 90.0;
    // The low-pass's length at Feld-Hell (161 taps at 8000 samples a second); it delays the levels
    // by half of it. Other paces scale it.
    static constexpr double kFilterSeconds = 0.02;

    // The tone must lie below half the sample rate.
    explicit CFeldHellReceiver(double dToneHz = FeldHellRates::kDefaultToneHz,
                               int nSampleRate = FeldHellRates::kSampleRate,
                               const CHellMode& mode = HellModes::FeldHell());
    ~CFeldHellReceiver();
    CFeldHellReceiver(const CFeldHellReceiver&) = delete;
    CFeldHellReceiver& operator=(const CFeldHellReceiver&) = delete;

    // Demodulates the next nSamples of received audio, appending one level byte for each level
    // slot that falls among them.
    void Process(const float* pAudio, std::size_t nSamples, std::vector<std::uint8_t>& levels);

    // Listens on another tone from the next sample on; AFC looks for a signal around it afresh.
    void SetToneHz(double dToneHz);
    // AFC on or off (on at first). Off, the receiver listens on the tone.
    void SetAfc(bool bOn);
    bool IsAfcOn() const { return m_bAfc; }
    // Where the receiver listens: the tone, or the signal AFC follows.
    double GetListeningHz() const { return m_dListeningHz; }

    // Also hands every spectrum of the received audio to onSpectrum (for a waterfall), in bins of
    // GetBinHz from 0 Hz on. Null for none.
    void SetSpectrumHandler(CSpectrumAnalyzer::SpectrumHandler onSpectrum) { m_OnSpectrum = std::move(onSpectrum); }
    double GetBinHz() const { return m_Spectrum.GetBinHz(); }
    std::size_t GetBinCount() const { return m_Spectrum.GetBinCount(); }

private:
    void OnSpectrum(std::span<const float> power);
    void Listen(double dHz);
    // The magnitude of a filtered sample that stands for a mark.
    float MarkMagnitude(std::complex<float> filtered);

    int m_nSampleRate;
    CHellMode m_Mode;
    nco_crcf_s* m_pNco;
    firfilt_crcf_s* m_pFilter;
    freqdem_s* m_pDiscriminator = nullptr; // FSK only: where the signal sits between the tones
    firfilt_rrrf_s* m_pPositionFilter = nullptr;
    CPeakAgc m_Agc;
    CSpectrumAnalyzer m_Spectrum;
    CToneTracker m_Tracker;
    CSpectrumAnalyzer::SpectrumHandler m_OnSpectrum;
    double m_dToneHz = 0.0;
    double m_dListeningHz = 0.0;
    bool m_bAfc = true;
    std::int64_t m_nSample = 0;
    std::int64_t m_nLevel = 0;
};
