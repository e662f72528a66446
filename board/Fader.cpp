#include "board/Fader.h"

#include "modem/FeldHellRates.h"

#include <cmath>
#include <numbers>
#include <random>

namespace
{
std::complex<double> SumAt(const std::vector<double>& omega, const std::vector<double>& phase, double dSample)
{
    std::complex<double> sum;
    for (std::size_t i = 0; i < omega.size(); ++i)
        sum += std::polar(1.0, omega[i] * dSample + phase[i]);
    return sum / std::sqrt(static_cast<double>(omega.size()));
}
} // namespace

CFader::CFader(double dDopplerHz, std::uint32_t nSeed)
{
    std::mt19937 rng(nSeed);
    std::uniform_real_distribution<double> angle(0.0, 2 * std::numbers::pi);
    const double dMaxOmega = 2 * std::numbers::pi * dDopplerHz / FeldHellRates::kSampleRate;
    for (int i = 0; i < kPaths; ++i)
    {
        // Arrival angles spread over the circle give the classic U-shaped Doppler spectrum.
        m_Omega.push_back(dMaxOmega * std::cos(angle(rng)));
        m_Phase.push_back(angle(rng));
    }
}

std::complex<float> CFader::Next()
{
    if (m_nSample % kUpdateInterval == 0)
    {
        const auto dNow = static_cast<double>(m_nSample);
        m_Gain = std::complex<float>(SumAt(m_Omega, m_Phase, dNow));
        const auto later = std::complex<float>(SumAt(m_Omega, m_Phase, dNow + kUpdateInterval));
        m_Step = (later - m_Gain) / static_cast<float>(kUpdateInterval);
    }
    ++m_nSample;
    const std::complex<float> gain = m_Gain;
    m_Gain += m_Step;
    return gain;
}
