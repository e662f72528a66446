#pragma once

#include <cstddef>

// Where the board's received audio comes from instead of the simulated channel (a WAV file, the
// sound card), at 8000 samples a second.
class IAudioSource
{
public:
    virtual ~IAudioSource() = default;
    // Fills all nSamples; silence where the source has nothing (yet, or any more).
    virtual void Read(float* pSamples, std::size_t nSamples) = 0;
};

// Where the board's transmitted audio goes (a WAV file, the sound card), at 8000 samples a second.
class IAudioSink
{
public:
    virtual ~IAudioSink() = default;
    virtual void Write(const float* pSamples, std::size_t nSamples) = 0;
};
