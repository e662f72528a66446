#pragma once

// The one format of the streams: mono float samples, -1..1, at 8000 a second. The sound server
// resamples to and from the device's own rate and channels.
namespace AudioFormat
{
constexpr int kSampleRate = 8000;
} // namespace AudioFormat
