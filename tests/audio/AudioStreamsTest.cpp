#include "AudioTestUtil.h"

#include "audio/PulseClient.h"

namespace
{
// The test output's playback, and a capture of its monitor, on one client.
class AudioStreams : public PulseTest
{
protected:
    void OpenPlayback() { ASSERT_TRUE(m_Playback.Open("skrivel-test", "skt")) << m_Playback.GetError(); }
    void OpenBoth()
    {
        ASSERT_TRUE(m_Capture.Open("skrivel-test", "skt.monitor")) << m_Capture.GetError();
        OpenPlayback();
    }

    CPulseClient m_Client{"Skrivel"};
    CCaptureStream m_Capture{m_Client};
    CPlaybackStream m_Playback{m_Client};
};

void Append(std::vector<float>& to, const std::vector<float>& samples)
{
    to.insert(to.end(), samples.begin(), samples.end());
}

// A null output's monitor hears nothing until something plays, and may miss the first moments
// then: so each test plays this much silence before its tone.
constexpr std::size_t kLead = kRate * 3 / 4;
// The lengths heard may differ by a sample that the playback's keeper dropped or repeated.
constexpr std::size_t kSlack = 4;
} // namespace

TEST_F(AudioStreams, AToneComesBackThroughTheMonitorWithItsPitchAndLength)
{
    ASSERT_NO_FATAL_FAILURE(OpenBoth());
    CCaptureStream& capture = m_Capture;
    CPlaybackStream& playback = m_Playback;
    std::vector<float> sent(kLead, 0.0f);
    Append(sent, Tone(1000.0, kRate));
    sent.resize(sent.size() + kRate, 0.0f);
    ASSERT_TRUE(playback.Write(sent.data(), sent.size()));

    const CToneSpan span = FindTone(Capture(capture, 3 * kRate));
    EXPECT_NEAR(span.Length(), kRate, kSlack);
    EXPECT_NEAR(span.m_dHz, 1000.0, 2.0);
    EXPECT_LT(span.m_nLongestQuiet, 4u);
    EXPECT_EQ(capture.GetDropped(), 0);
}

TEST_F(AudioStreams, AWriterThatStopsIsAnUnderrunOnceAllItWroteWasPlayed)
{
    ASSERT_NO_FATAL_FAILURE(OpenPlayback());
    CPlaybackStream& playback = m_Playback;
    const std::vector<float> tone = Tone(1000.0, kRate);
    ASSERT_TRUE(playback.Write(tone.data(), tone.size()));
    EXPECT_EQ(playback.GetUnderruns(), 0);
    EXPECT_LT(playback.GetPlayedSamples(), kRate);

    // It runs dry when the last sample leaves the server's queue for the device's buffer, and
    // that plays on.
    ASSERT_TRUE(Eventually([&] { return playback.GetUnderruns() > 0; }));
    EXPECT_EQ(playback.GetUnderruns(), 1);
    ASSERT_TRUE(Eventually([&] { return playback.GetQueuedSamples() == 0; }));
    EXPECT_EQ(playback.GetPlayedSamples(), kRate);
}

TEST_F(AudioStreams, AWriterHeldUpForAQuarterSecondLeavesNoGap)
{
    ASSERT_NO_FATAL_FAILURE(OpenBoth());
    CCaptureStream& capture = m_Capture;
    CPlaybackStream& playback = m_Playback;
    const std::vector<float> lead(kLead, 0.0f);
    ASSERT_TRUE(playback.Write(lead.data(), lead.size()));
    // Three seconds of tone in blocks of 20 ms at the pace of the device's clock (the capture),
    // with the writer held up for a quarter of a second in the middle, then catching up.
    const std::vector<float> tone = Tone(1000.0, 3 * kRate);
    const std::size_t nBlock = kRate / 50;
    std::vector<float> heard;
    for (std::size_t nDone = 0; nDone < tone.size(); nDone += nBlock)
    {
        if (nDone == tone.size() / 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        Append(heard, Capture(capture, nBlock));
        ASSERT_TRUE(playback.Write(tone.data() + nDone, nBlock));
    }
    EXPECT_EQ(playback.GetUnderruns(), 0);
    Append(heard, Capture(capture, 2 * kRate));

    const CToneSpan span = FindTone(heard);
    EXPECT_NEAR(span.Length(), tone.size(), kSlack);
    EXPECT_LT(span.m_nLongestQuiet, 4u);
}

TEST_F(AudioStreams, AFlushSilencesTheOutputWithinAQuarterSecond)
{
    ASSERT_NO_FATAL_FAILURE(OpenBoth());
    CCaptureStream& capture = m_Capture;
    CPlaybackStream& playback = m_Playback;
    std::vector<float> sent(kLead, 0.0f);
    Append(sent, Tone(1000.0, 4 * kRate));
    ASSERT_TRUE(playback.Write(sent.data(), sent.size()));
    std::int64_t nPlayed = 0;
    ASSERT_TRUE(Eventually([&] { return (nPlayed = playback.GetPlayedSamples()) >= std::int64_t{kLead + kRate}; }));
    playback.Flush();
    EXPECT_LT(playback.GetQueuedSamples(), kRate / 4);

    // The tone heard is as long as what had been played when the flush came, and less than a
    // quarter of a second more.
    const CToneSpan span = FindTone(Capture(capture, 3 * kRate));
    const auto nTonePlayed = static_cast<std::size_t>(nPlayed) - kLead;
    EXPECT_GE(span.Length(), nTonePlayed);
    EXPECT_LT(span.Length(), nTonePlayed + kRate / 4);
    // What is written next plays whole.
    sent.resize(kLead + kRate);
    ASSERT_TRUE(playback.Write(sent.data(), sent.size()));
    EXPECT_NEAR(FindTone(Capture(capture, 2 * kRate)).Length(), kRate, kSlack);
}
