#pragma once

#include "modem/FeldHellRates.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct nco_crcf_s;
struct firfilt_crcf_s;
struct agc_crcf_s;

// A Feld-Hell receiver: mixes the audio to baseband at the tone, low-passes it to the width of a
// Feld-Hell signal, takes the magnitude, levels it with an AGC, scales it to 0..255 and samples it
// twice per pixel (490 times a second). Its filter and AGC keep their response in time at any
// sample rate; the filter's cost grows with the rate.
class CFeldHellReceiver
{
public:
    // About the width that passes one pixel (1/245 s) and as little noise as can be: a wider
    // filter sharpens the picture but loses several dB in noise.
    static constexpr double kCutoffHz = 90.0;
    // The low-pass's length (161 taps at 8000 samples a second); it delays the levels by half of it.
    static constexpr double kFilterSeconds = 0.02;

    // The tone must lie below half the sample rate.
    explicit CFeldHellReceiver(double dToneHz = FeldHellRates::kDefaultToneHz,
                               int nSampleRate = FeldHellRates::kSampleRate);
    ~CFeldHellReceiver();
    CFeldHellReceiver(const CFeldHellReceiver&) = delete;
    CFeldHellReceiver& operator=(const CFeldHellReceiver&) = delete;

    // Demodulates the next nSamples of received audio, appending one level byte for each level
    // slot that falls among them.
    void Process(const float* pAudio, std::size_t nSamples, std::vector<std::uint8_t>& levels);

    // Listens on another tone from the next sample on.
    void SetToneHz(double dToneHz);

private:
    int m_nSampleRate;
    nco_crcf_s* m_pNco;
    firfilt_crcf_s* m_pFilter;
    agc_crcf_s* m_pAgc;
    std::int64_t m_nSample = 0;
    std::int64_t m_nLevel = 0;
};
