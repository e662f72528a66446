#pragma once

#include "PulseServer.h"

#include "audio/CaptureStream.h"
#include "audio/PlaybackStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <thread>
#include <vector>

// Each test has a sound server of its own with one output, "skt", whose monitor "skt.monitor" hears
// what it plays.
class PulseTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Server.Start()) << m_Server.GetLog();
        m_nSink = m_Server.LoadNullSink("skt", "Skrivel test output");
        ASSERT_GE(m_nSink, 0);
    }

    CPulseServer m_Server;
    int m_nSink = -1;
};

constexpr int kRate = 8000;

// nSamples of a sine of dHz at half scale.
inline std::vector<float> Tone(double dHz, std::size_t nSamples)
{
    std::vector<float> tone(nSamples);
    for (std::size_t i = 0; i < nSamples; ++i)
        tone[i] = static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * dHz * static_cast<double>(i) / kRate));
    return tone;
}

// Reads nSamples as they come, fewer if the stream goes quiet for two seconds or is lost.
inline std::vector<float> Capture(CCaptureStream& capture, std::size_t nSamples)
{
    std::vector<float> samples(nSamples);
    std::size_t nDone = 0;
    while (nDone < nSamples)
    {
        const std::size_t nRead =
            capture.Read(samples.data() + nDone, nSamples - nDone, std::chrono::milliseconds(2000));
        if (nRead == 0)
            break;
        nDone += nRead;
    }
    samples.resize(nDone);
    return samples;
}

// Waits (five seconds at most) for a condition that the sound server's thread brings about.
template <class F> bool Eventually(F condition)
{
    for (int i = 0; i < 500; ++i)
    {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

// Where a tone lies in captured audio: its first and last loud sample, its frequency, and the
// longest run of quiet samples between (a gap; a sine at 1000 Hz has none longer than one).
struct CToneSpan
{
    std::size_t m_nFirst = 0;
    std::size_t m_nLast = 0;
    double m_dHz = 0.0;
    std::size_t m_nLongestQuiet = 0;

    std::size_t Length() const { return m_nLast + 1 - m_nFirst; }
};

inline CToneSpan FindTone(const std::vector<float>& samples)
{
    CToneSpan span;
    bool bFound = false;
    for (std::size_t i = 0; i < samples.size(); ++i)
        if (std::abs(samples[i]) > 0.1f)
        {
            span.m_nFirst = bFound ? span.m_nFirst : i;
            span.m_nLast = i;
            bFound = true;
        }
    int nCrossings = 0;
    std::size_t nQuiet = 0;
    for (std::size_t i = span.m_nFirst + 1; bFound && i <= span.m_nLast; ++i)
    {
        nCrossings += (samples[i - 1] < 0.0f) != (samples[i] < 0.0f);
        nQuiet = std::abs(samples[i]) > 0.1f ? 0 : nQuiet + 1;
        span.m_nLongestQuiet = std::max(span.m_nLongestQuiet, nQuiet);
    }
    span.m_dHz = bFound ? nCrossings / 2.0 * kRate / static_cast<double>(span.Length()) : 0.0;
    return span;
}
