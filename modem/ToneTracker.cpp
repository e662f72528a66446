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
// Keeps the logarithm of a bin without power finite.
constexpr double kTiny = 1e-30;
} // namespace

CToneTracker::CToneTracker(double dBinHz, double dWidthFactor, double dShiftHz)
    : m_dBinHz(dBinHz), m_dWidthFactor(dWidthFactor), m_dShiftHz(dShiftHz)
{
}

void CToneTracker::SetToneHz(double dToneHz)
{
    m_dToneHz = m_dFrequencyHz = dToneHz;
    m_nSpectra = 0;
    const double dMarginHz = kMarginHz * m_dWidthFactor + m_dShiftHz / 2;
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

    // The strongest core (for FSK, the pair of cores half the shift either side) whose centre lies
    // within the capture range. FSK's blank tone sounds most of the time: alone it would pass for
    // the signal, half the shift above its centre.
    const auto nCore = static_cast<std::ptrdiff_t>(std::lround(kCoreHalfHz * m_dWidthFactor / m_dBinHz));
    const auto nHalfShift = static_cast<std::ptrdiff_t>(std::lround(m_dShiftHz / 2 / m_dBinHz));
    const auto nBinsSigned = static_cast<std::ptrdiff_t>(nBins);
    const auto core = [&](std::ptrdiff_t k)
    {
        double dSum = 0.0;
        for (std::ptrdiff_t j = -nCore; j <= nCore; ++j)
            dSum += m_Average[static_cast<std::size_t>(k + j)];
        return dSum;
    };
    // For FSK a bin beyond the cores too, which places the tones' peaks between their neighbours.
    const std::ptrdiff_t nReach = nCore + nHalfShift + (nHalfShift == 0 ? 0 : 1);
    double dBest = 0.0;
    std::ptrdiff_t nBest = -1;
    for (std::ptrdiff_t k = nReach; k + nReach < nBinsSigned; ++k)
    {
        const double dHz = static_cast<double>(m_nFirstBin + static_cast<std::size_t>(k)) * m_dBinHz;
        if (std::abs(dHz - m_dToneHz) > kCaptureHz)
            continue;
        const double dSum = nHalfShift == 0 ? core(k) : core(k - nHalfShift) + core(k + nHalfShift);
        if (dSum > dBest)
        {
            dBest = dSum;
            nBest = k;
        }
    }
    const double dCoreNoise = dNoise * static_cast<double>(2 * nCore + 1) * (nHalfShift == 0 ? 1.0 : 2.0);
    if (nBest < 0 || dBest <= kDetectRatio * dCoreNoise)
        return;

    const double dFoundHz =
        nHalfShift == 0 ? CentreOfPowerHz(nBest, nBins, dNoise) : FskCentreHz(nBest, nHalfShift, nCore);
    if (std::abs(dFoundHz - m_dFrequencyHz) <= kJumpHz * std::max(1.0, m_dWidthFactor))
        m_dFrequencyHz += (dFoundHz - m_dFrequencyHz) * kFollowWeight;
    else if (dBest > kJumpRatio * dCoreNoise)
        m_dFrequencyHz = dFoundHz;
}

double CToneTracker::CentreOfPowerHz(std::ptrdiff_t nPeak, std::size_t nBins, double dNoise) const
{
    // The centre of the power above the noise around the peak.
    const auto nCentre = static_cast<std::ptrdiff_t>(std::lround(kCentreHalfHz * m_dWidthFactor / m_dBinHz));
    double dWeight = 0.0;
    double dMoment = 0.0;
    for (std::ptrdiff_t k = std::max<std::ptrdiff_t>(0, nPeak - nCentre);
         k <= std::min(static_cast<std::ptrdiff_t>(nBins) - 1, nPeak + nCentre); ++k)
    {
        const double dExcess = std::max(0.0, m_Average[static_cast<std::size_t>(k)] - dNoise);
        dWeight += dExcess;
        dMoment += dExcess * static_cast<double>(k);
    }
    return (static_cast<double>(m_nFirstBin) + dMoment / dWeight) * m_dBinHz;
}

double CToneTracker::FskCentreHz(std::ptrdiff_t nCentre, std::ptrdiff_t nHalfShift,
                                 std::ptrdiff_t nCore) const
{
    // The stronger tone's line, half the shift from the centre: the tone that sounds most of the
    // time has most of its power in its line, while the other's is spread by the keying and tilted
    // by the stronger one's skirts, which would draw a centre of power towards the middle. The
    // line is the peak bin of the tone's core, placed between its neighbours by a parabola through
    // their logarithms (close to exact for the window's main lobe).
    const auto peakNear = [&](std::ptrdiff_t nBin)
    {
        const auto first = m_Average.begin() + (nBin - nCore);
        return static_cast<std::ptrdiff_t>(std::max_element(first, first + 2 * nCore + 1) -
                                           m_Average.begin());
    };
    const std::ptrdiff_t nLower = peakNear(nCentre - nHalfShift);
    const std::ptrdiff_t nUpper = peakNear(nCentre + nHalfShift);
    const bool bUpper =
        m_Average[static_cast<std::size_t>(nUpper)] > m_Average[static_cast<std::size_t>(nLower)];
    const std::size_t nPeak = static_cast<std::size_t>(bUpper ? nUpper : nLower);
    const double dLeft = std::log(std::max(kTiny, m_Average[nPeak - 1]));
    const double dMiddle = std::log(std::max(kTiny, m_Average[nPeak]));
    const double dRight = std::log(std::max(kTiny, m_Average[nPeak + 1]));
    const double dCurve = dLeft - 2 * dMiddle + dRight;
    const double dOffset = dCurve < 0 ? std::clamp(0.5 * (dLeft - dRight) / dCurve, -0.5, 0.5) : 0.0;
    const double dLineHz = (static_cast<double>(m_nFirstBin + nPeak) + dOffset) * m_dBinHz;
    return bUpper ? dLineHz - m_dShiftHz / 2 : dLineHz + m_dShiftHz / 2;
}
