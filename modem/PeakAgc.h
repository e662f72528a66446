#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>

// The picture's level control: scales the magnitude of each level slot by the strongest
// magnitude of the last second, so that steady marks land at kMarkLevel and never above it. A new
// signal sets the level as soon as its first mark arrives (the output is held back a few slots,
// so that the rising edge of that mark is scaled by its own top); the level holds for a second
// after the strongest magnitude, over the gaps between characters and words, and only then
// falls, slowly, to what is left (the noise's peaks, or a floor in silence).
class CPeakAgc
{
public:
    // Where steady marks land, with room above for nothing: no magnitude exceeds the one it is
    // scaled by.
    static constexpr double kMarkLevel = 224.0;
    // The slots the output is held back by.
    static constexpr int kLookaheadSlots = 6;
    static constexpr double kHoldSeconds = 1.0;
    static constexpr double kDecaySeconds = 0.5;

    // nSlotRate: level slots a second. dFloor: the smallest magnitude taken as a mark (silence
    // stays black).
    CPeakAgc(int nSlotRate, double dFloor);

    // Takes the next slot's magnitude and gives the level of the slot kLookaheadSlots earlier.
    std::uint8_t Process(float fMagnitude);

private:
    double HeldPeak() const;

    int m_nBlockSlots;          // the hold is kept as the peaks of blocks of this many slots
    double m_dDecay;            // the reference's fall per slot, as a factor towards the peak
    double m_dFloor;
    double m_dReference;        // the magnitude that is scaled to kMarkLevel now
    std::deque<double> m_BlockPeaks; // the last second's blocks, oldest first
    double m_dBlockPeak = 0.0;       // the block being filled
    int m_nInBlock = 0;
    std::array<float, kLookaheadSlots + 1> m_Delay{}; // the newest slots, a ring
    std::size_t m_nDelayPos = 0;
};
