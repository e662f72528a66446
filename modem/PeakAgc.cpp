#include "modem/PeakAgc.h"

#include <algorithm>
#include <cmath>

namespace
{
// The hold is a sliding maximum over this many blocks: a second to within a tenth.
constexpr int kHoldBlocks = 10;
} // namespace

CPeakAgc::CPeakAgc(int nSlotRate, double dFloor)
    : m_nBlockSlots(std::max(1, static_cast<int>(std::lround(nSlotRate * kHoldSeconds / kHoldBlocks)))),
      m_dDecay(1.0 - std::exp(-1.0 / (kDecaySeconds * nSlotRate))), m_dFloor(dFloor), m_dReference(dFloor)
{
}

double CPeakAgc::HeldPeak() const
{
    double dPeak = m_dBlockPeak;
    for (const double d : m_BlockPeaks)
        dPeak = std::max(dPeak, d);
    return dPeak;
}

std::uint8_t CPeakAgc::Process(float fMagnitude)
{
    const double dMagnitude = fMagnitude;
    m_dBlockPeak = std::max(m_dBlockPeak, dMagnitude);
    if (++m_nInBlock == m_nBlockSlots)
    {
        m_BlockPeaks.push_back(m_dBlockPeak);
        if (m_BlockPeaks.size() > kHoldBlocks)
            m_BlockPeaks.pop_front();
        m_dBlockPeak = 0.0;
        m_nInBlock = 0;
    }
    // Up at once to a stronger peak, down slowly once the held one has gone.
    const double dPeak = std::max(m_dFloor, HeldPeak());
    if (dPeak >= m_dReference)
        m_dReference = dPeak;
    else
        m_dReference += (dPeak - m_dReference) * m_dDecay;

    m_Delay[m_nDelayPos] = fMagnitude;
    m_nDelayPos = (m_nDelayPos + 1) % m_Delay.size();
    const double dLevel = m_Delay[m_nDelayPos] / m_dReference * kMarkLevel;
    return static_cast<std::uint8_t>(std::lround(std::min(255.0, dLevel)));
}
