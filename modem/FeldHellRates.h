#pragma once

#include <cstdint>

// The rates of Feld-Hell as the modem works it. Feld-Hell sends 245 pixels a second; the receiver
// samples the received level twice per pixel. The audio runs at 8000 samples a second unless told
// otherwise (the software board's channel does): 1600 samples are exactly 49 pixels there, and at any
// whole sample rate every boundary is an exact rational of the sample index.
namespace FeldHellRates
{
constexpr int kSampleRate = 8000;
constexpr int kPixelRate = 245;
constexpr int kLevelRate = 490;
constexpr int kLevelsPerPixel = kLevelRate / kPixelRate;
// The tone sent and listened to unless told otherwise.
constexpr double kDefaultToneHz = 1000.0;

// The first audio sample at or after level slot nLevel (slot 2n is the start of pixel n).
constexpr std::int64_t FirstSampleOfLevel(std::int64_t nLevel, int nSampleRate = kSampleRate)
{
    return (nLevel * nSampleRate + kLevelRate - 1) / kLevelRate;
}

// The first audio sample of pixel nPixel.
constexpr std::int64_t FirstSampleOfPixel(std::int64_t nPixel, int nSampleRate = kSampleRate)
{
    return FirstSampleOfLevel(nPixel * kLevelsPerPixel, nSampleRate);
}
} // namespace FeldHellRates
