#include "modem/ToneTracker.h"

#include <algorithm>
#include <cmath>

namespace
{
// The range is searched beyond the capture range by the width of a signal, so that one at its edge
// is seen whole.
constexpr double kMarginHz = 150.0;
// The spectra come about 16 times a second: this averages over about a second and a half.
constexpr double kAverageWeight = 0.04;
// The core of a signal, summed to find it: the carrier and its nearest keying sidebands.
constexpr double kCoreHalfHz = 30.0;
// The power around the peak whose centre is the signal's frequency.
constexpr double kCentreHalfHz = 60.0;
// The core's power over that of as much noise, for a signal to follow; twice that to jump to one.
constexpr double kDetectRatio = 3.0;
constexpr double kJumpRatio = 6.0;
// No signal is taken before this many spectra are averaged: fewer leave noise peaks standing.
constexpr int kLeastSpectra = 16;
// Nearer than this the receiver follows (this share of the distance a spectrum), farther it jumps.
constexpr double kJumpHz = 25.0;
constexpr double kFollowWeight = 0.15;
} // namespace

CToneTracker::CToneTracker(double dBinHz, double dWidthFactor) : m_dBinHz(dBinHz), m_dWidthFactor(dWidthFactor) {}

void CToneTracker::SetToneHz(double dToneHz)
{
    m_dToneHz = m_dFrequencyHz = dToneHz;
    m_nSpectra = 0;
    const double dMarginHz = kMarginHz * m_dWidthFactor;
    const double dLow = std::max(0.0, dToneHz - kCaptureHz - dMarginHz);
    m_nFirstBin = static_cast<std::size_t>(std::floor(dLow / m_dBinHz));
    const auto nLastBin = static_cast<std::size_t>(std::ceil((dToneHz + kCaptureHz + dMarginHz) / m_dBinHz));
    m_Average.assign(nLastBin + 1 - m_nFirstBin, 0.0);
}

void CToneTracker::Process(std::span<const float> power)
{
    const std::size_t nBins = std::min(m_Average.size(), power.size() - std::min(power.size(), m_nFirstBin));
    // A plain mean until the average has its full length.
    ++m_nSpectra;
    const double dAverageWeight = std::max(kAverageWeight, 1.0 / m_nSpectra);
    for (std::size_t k = 0; k < nBins; ++k)
        m_Average[k] += (power[m_nFirstBin + k] - m_Average[k]) * dAverageWeight;
    if (m_nSpectra < kLeastSpectra)
        return;

    m_Sorted.assign(m_Average.begin(), m_Average.begin() + static_cast<std::ptrdiff_t>(nBins));
    if (m_Sorted.empty())
        return;
    const auto median = m_Sorted.begin() + static_cast<std::ptrdiff_t>(m_Sorted.size() / 2);
    std::nth_element(m_Sorted.begin(), median, m_Sorted.end());
    const double dNoise = *median;

    // The strongest core whose centre lies within the capture range.
    const auto nCore = static_cast<std::ptrdiff_t>(std::lround(kCoreHalfHz * m_dWidthFactor / m_dBinHz));
    const auto nBinsSigned = static_cast<std::ptrdiff_t>(nBins);
    double dBest = 0.0;
    std::ptrdiff_t nBest = -1;
    for (std::ptrdiff_t k = nCore; k + nCore < nBinsSigned; ++k)
    {
        const double dHz = static_cast<double>(m_nFirstBin + static_cast<std::size_t>(k)) * m_dBinHz;
        if (std::abs(dHz - m_dToneHz) > kCaptureHz)
            continue;
        double dSum = 0.0;
        for (std::ptrdiff_t j = -nCore; j <= nCore; ++j)
            dSum += m_Average[static_cast<std::size_t>(k + j)];
        if (dSum > dBest)
        {
            dBest = dSum;
            nBest = k;
        }
    }
    const double dCoreNoise = dNoise * static_cast<double>(2 * nCore + 1);
    if (nBest < 0 || dBest <= kDetectRatio * dCoreNoise)
        return;

    // The centre of the power above the noise around the peak.
    const auto nCentre = static_cast<std::ptrdiff_t>(std::lround(kCentreHalfHz * m_dWidthFactor / m_dBinHz));
    double dWeight = 0.0;
    double dMoment = 0.0;
    for (std::ptrdiff_t k = std::max<std::ptrdiff_t>(0, nBest - nCentre);
         k <= std::min(nBinsSigned - 1, nBest + nCentre); ++k)
    {
        const double dExcess = std::max(0.0, m_Average[static_cast<std::size_t>(k)] - dNoise);
        dWeight += dExcess;
        dMoment += dExcess * static_cast<double>(k);
    }
    const double dFoundHz = (static_cast<double>(m_nFirstBin) + dMoment / dWeight) * m_dBinHz;
    if (std::abs(dFoundHz - m_dFrequencyHz) <= kJumpHz * std::max(1.0, m_dWidthFactor))
        m_dFrequencyHz += (dFoundHz - m_dFrequencyHz) * kFollowWeight;
    else if (dBest > kJumpRatio * dCoreNoise)
        m_dFrequencyHz = dFoundHz;
}
