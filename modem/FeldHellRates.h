#pragma once

#include <cstdint>

// The board's fixed rates. Feld-Hell sends 245 pixels a second; the board samples the received
// level twice per pixel, and its channel runs at an audio rate of 8000 samples a second. 1600
// audio samples are exactly 49 pixels, so every boundary is an exact rational of the sample index.
namespace FeldHellRates
{
constexpr int kSampleRate = 8000;
constexpr int kPixelRate = 245;
constexpr int kLevelRate = 490;
constexpr int kLevelsPerPixel = kLevelRate / kPixelRate;

// The first audio sample at or after level slot nLevel (slot 2n is the start of pixel n).
constexpr std::int64_t FirstSampleOfLevel(std::int64_t nLevel)
{
    return (nLevel * kSampleRate + kLevelRate - 1) / kLevelRate;
}

// The first audio sample of pixel nPixel.
constexpr std::int64_t FirstSampleOfPixel(std::int64_t nPixel)
{
    return FirstSampleOfLevel(nPixel * kLevelsPerPixel);
}
} // namespace FeldHellRates
