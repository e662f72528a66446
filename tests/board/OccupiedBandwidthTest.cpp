#include "BoardTestUtil.h"

#include "board/OccupiedBandwidth.h"
#include "modem/HellMode.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace
{
// Tones of the given amplitudes and frequencies, nSamples at nSampleRate.
std::vector<std::complex<float>> Tones(const std::vector<std::pair<double, double>>& tones, int nSampleRate,
                                       std::size_t nSamples)
{
    std::vector<std::complex<float>> signal(nSamples);
    for (std::size_t i = 0; i < nSamples; ++i)
        for (const auto& [dAmplitude, dHz] : tones)
            signal[i] += std::polar(
                static_cast<float>(dAmplitude),
                static_cast<float>(2 * std::numbers::pi * dHz * static_cast<double>(i) / nSampleRate));
    return signal;
}

const std::string kText = "CQ CQ DE SKRIVEL 599 K";
constexpr int kSamplesPerPixel = 64;
} // namespace

// A tone 30 dB below the strongest lies within the -40 dB points, one 50 dB below does not; and
// 99 % of the power is the strong tone alone, the weak one holding only 0.1 %.
TEST(OccupiedBandwidth, FindsTheOutermostComponentsWithin40DbOfThePeak)
{
    constexpr int nRate = 16000;
    constexpr std::size_t nSize = 4096;
    const double dBin = static_cast<double>(nRate) / nSize;
    const auto signal =
        Tones({{1.0, 1000.0}, {std::pow(10.0, -30.0 / 20), -2000.0}, {std::pow(10.0, -50.0 / 20), 3000.0}},
              nRate, 16 * nSize);
    const OccupiedBandwidth::CFigures figures = OccupiedBandwidth::Measure(signal, nRate, nSize);
    EXPECT_DOUBLE_EQ(figures.m_dBinHz, dBin);
    EXPECT_NEAR(figures.m_dLowHz, -2000.0, 4 * dBin);
    EXPECT_NEAR(figures.m_dHighHz, 1000.0, 4 * dBin);
    EXPECT_NEAR(figures.m_dLow99Hz, 1000.0, 4 * dBin);
    EXPECT_NEAR(figures.m_dHigh99Hz, 1000.0, 4 * dBin);
    EXPECT_LT(figures.m_dLow99Hz, figures.m_dHigh99Hz);
}

// Each mode's text keeps 99 % of its power within the bandwidth the modes are known by, on either
// side of the tone alike, and its -40 dB points within one and a half times it.
TEST(OccupiedBandwidth, EveryModeKeepsWithinItsKnownBandwidth)
{
    for (const CHellMode& mode : HellModes::All())
    {
        const auto nRate = static_cast<int>(std::lround(kSamplesPerPixel * mode.GetPixelRate()));
        const OccupiedBandwidth::CFigures figures = OccupiedBandwidth::Measure(
            OccupiedBandwidth::Transmission(BundledFont(), kText, mode, 40, nRate), nRate, 16384);
        const double dTone = nRate / 4.0;
        EXPECT_LT(figures.m_dHigh99Hz - figures.m_dLow99Hz, mode.m_dBandwidthHz) << mode.m_strName;
        EXPECT_NEAR(figures.m_dHigh99Hz - dTone, dTone - figures.m_dLow99Hz, 0.1 * mode.m_dBandwidthHz)
            << mode.m_strName;
        EXPECT_LT(figures.m_dHighHz - figures.m_dLowHz, 1.5 * mode.m_dBandwidthHz) << mode.m_strName;
        EXPECT_GT(figures.m_dHighHz - figures.m_dLowHz, 0.5 * mode.m_dBandwidthHz) << mode.m_strName;
    }
}

// FSK sounds a tone all the time, marked or not; on-off sounds only the marks, about a fifth of a
// text's pixels.
TEST(OccupiedBandwidth, FskSendsItsFullPowerWhileOnOffSendsTheMarksOnly)
{
    for (const CHellMode& mode : HellModes::All())
    {
        const double dPower = OccupiedBandwidth::MeanPower(
            OccupiedBandwidth::Transmission(BundledFont(), kText, mode, 40, 8000));
        if (mode.m_nKeying == EHellKeying::Fsk)
            EXPECT_NEAR(dPower, 1.0, 0.01) << mode.m_strName;
        else
            EXPECT_NEAR(dPower, 0.2, 0.05) << mode.m_strName;
    }
}
