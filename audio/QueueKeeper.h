#pragma once

#include <cstddef>
#include <cstdint>

// Keeps a playback queue near the level it had when playing began, for a writer whose clock
// differs a little from the device's (the board's clock, another sound card's): when the queue
// has wandered more than a band away, one sample is dropped or repeated, at most one in so many
// written. A tone keeps its pitch; its phase jumps by a fraction of a cycle, which a Hell
// receiver never shows.
class CQueueKeeper
{
public:
    // Corrects beyond nBand samples from the level, and at most once in nSpacing samples.
    CQueueKeeper(std::int64_t nBand, std::int64_t nSpacing);

    // Before nSamples are written with nQueued samples in the queue: -1 to drop one of them, +1
    // to repeat one, else 0. The first call sets the level.
    int Correction(std::int64_t nQueued, std::size_t nSamples);

private:
    std::int64_t m_nBand;
    std::int64_t m_nSpacing;
    bool m_bLevelKnown = false;
    std::int64_t m_nLevel = 0;
    std::int64_t m_nSinceCorrection = 0;
};
