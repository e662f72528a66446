#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Turns spectra into the waterfall's lines: the bins from about kLowHz to kHighHz as levels
// 0..255 on a decibel scale whose floor follows the noise (the median bin, averaged over about a
// second), so that noise shows dark and a signal kRangeDb above it white, whatever the input's
// level.
class CWaterfallLines
{
public:
    static constexpr double kLowHz = 200.0;
    static constexpr double kHighHz = 3000.0;
    static constexpr double kRangeDb = 40.0;

    // dBinHz: the spectra's bin width; nBins: how many they have.
    CWaterfallLines(double dBinHz, std::size_t nBins);

    // The line of one spectrum (power per bin from 0 Hz on), into levels.
    void Make(std::span<const float> power, std::vector<std::uint8_t>& levels);
    double GetFirstHz() const { return static_cast<double>(m_nFirstBin) * m_dBinHz; }
    double GetBinHz() const { return m_dBinHz; }

private:
    double m_dBinHz;
    std::size_t m_nFirstBin;
    std::size_t m_nEndBin;
    double m_dFloorDb = 0.0;
    bool m_bFirst = true;
    std::vector<float> m_Db; // the line's bins in decibels, reused
    std::vector<float> m_Sorted;
};
