#include "modem/WaterfallLines.h"

#include <algorithm>
#include <cmath>

namespace
{
// The noise's median lies this far above the floor, dark grey rather than black.
constexpr double kNoiseAboveFloorDb = 4.0;
// The floor follows the median over about 16 lines: a second.
constexpr double kFloorWeight = 1.0 / 16;
// Power that is no power at all (digital silence) is taken as this.
constexpr float kLeastPower = 1e-12f;
} // namespace

CWaterfallLines::CWaterfallLines(double dBinHz, std::size_t nBins)
    : m_dBinHz(dBinHz), m_nFirstBin(std::min(nBins, static_cast<std::size_t>(std::ceil(kLowHz / dBinHz)))),
      m_nEndBin(std::min(nBins, static_cast<std::size_t>(std::floor(kHighHz / dBinHz)) + 1))
{
}

void CWaterfallLines::Make(std::span<const float> power, std::vector<std::uint8_t>& levels)
{
    const std::size_t nEnd = std::min(m_nEndBin, power.size());
    m_Db.clear();
    for (std::size_t k = m_nFirstBin; k < nEnd; ++k)
        m_Db.push_back(10.0f * std::log10(std::max(power[k], kLeastPower)));
    levels.resize(m_Db.size());
    if (m_Db.empty())
        return;
    m_Sorted = m_Db;
    const auto median = m_Sorted.begin() + static_cast<std::ptrdiff_t>(m_Sorted.size() / 2);
    std::nth_element(m_Sorted.begin(), median, m_Sorted.end());
    const double dFloor = *median - kNoiseAboveFloorDb;
    m_dFloorDb = m_bFirst ? dFloor : m_dFloorDb + (dFloor - m_dFloorDb) * kFloorWeight;
    m_bFirst = false;
    for (std::size_t i = 0; i < m_Db.size(); ++i)
    {
        const double dLevel = (m_Db[i] - m_dFloorDb) / kRangeDb * 255.0;
        levels[i] = static_cast<std::uint8_t>(std::lround(std::clamp(dLevel, 0.0, 255.0)));
    }
}
