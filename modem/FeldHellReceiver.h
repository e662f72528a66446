#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct nco_crcf_s;
struct firfilt_crcf_s;
struct agc_crcf_s;

// The board's receiver: mixes the audio to baseband at the tone, low-passes it to the width of a
// Feld-Hell signal, takes the magnitude, levels it with an AGC, scales it to 0..255 and samples it
// twice per pixel (490 times a second).
class CFeldHellReceiver
{
public:
    // About the width that passes one pixel (1/245 s) and as little noise as can be: a wider
    // filter sharpens the picture but loses several dB in noise.
    static constexpr double kCutoffHz = 90.0;
    static constexpr unsigned kFilterTaps = 161;

    explicit CFeldHellReceiver(double dToneHz);
    ~CFeldHellReceiver();
    CFeldHellReceiver(const CFeldHellReceiver&) = delete;
    CFeldHellReceiver& operator=(const CFeldHellReceiver&) = delete;

    // Demodulates the next nSamples of received audio, appending one level byte for each level
    // slot that falls among them.
    void Process(const float* pAudio, std::size_t nSamples, std::vector<std::uint8_t>& levels);

private:
    nco_crcf_s* m_pNco;
    firfilt_crcf_s* m_pFilter;
    agc_crcf_s* m_pAgc;
    std::int64_t m_nSample = 0;
    std::int64_t m_nLevel = 0;
};
