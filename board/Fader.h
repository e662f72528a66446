#pragma once

#include <complex>
#include <cstdint>
#include <vector>

// Slow flat fading: a complex gain of unit mean power whose magnitude follows a Rayleigh law,
// made as a sum of equal-power sinusoids with random Doppler shifts up to dDopplerHz and random
// phases. Deterministic for a given seed.
class CFader
{
public:
    CFader(double dDopplerHz, std::uint32_t nSeed);

    // The gain for the next audio sample.
    std::complex<float> Next();

private:
    static constexpr int kPaths = 16;
    // Refreshing the sum once per this many samples is far finer than the fading rate.
    static constexpr int kUpdateInterval = 16;

    std::vector<double> m_Omega; // radians per sample
    std::vector<double> m_Phase;
    std::uint64_t m_nSample = 0;
    std::complex<float> m_Gain;
    std::complex<float> m_Step; // linear interpolation to the next refresh
};
