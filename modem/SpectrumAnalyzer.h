#pragma once

#include <complex>
#include <cstddef>
#include <functional>
#include <span>
#include <vector>

struct fftplan_s;

// The spectrum of the received audio: the power of the last stretch of audio (Hann-windowed) in
// bins of at most kMaxBinHz, from 0 Hz up to half the sample rate, made each time half a stretch
// has come (about 16 times a second). A tone of amplitude 1 has a power of 1 in its bin.
class CSpectrumAnalyzer
{
public:
    static constexpr double kMaxBinHz = 8.0;

    // Gets each spectrum as it is made: the power per bin.
    using SpectrumHandler = std::function<void(std::span<const float> power)>;

    CSpectrumAnalyzer(int nSampleRate, SpectrumHandler onSpectrum);
    ~CSpectrumAnalyzer();
    CSpectrumAnalyzer(const CSpectrumAnalyzer&) = delete;
    CSpectrumAnalyzer& operator=(const CSpectrumAnalyzer&) = delete;

    // Takes the next nSamples; a spectrum is made whenever another half stretch has come.
    void Process(const float* pAudio, std::size_t nSamples);

    double GetBinHz() const { return m_dBinHz; }
    std::size_t GetBinCount() const { return m_Power.size(); }

private:
    void MakeSpectrum();

    SpectrumHandler m_OnSpectrum;
    std::size_t m_nSize;
    double m_dBinHz;
    std::vector<float> m_Window;
    std::vector<float> m_History; // the last stretch of audio, a ring
    std::size_t m_nHistoryPos = 0;
    std::size_t m_nSinceSpectrum = 0;
    std::vector<std::complex<float>> m_In;
    std::vector<std::complex<float>> m_Out;
    fftplan_s* m_pPlan;
    std::vector<float> m_Power;
};
