#include "AudioTestUtil.h"

#include "audio/PulseClient.h"

#include <ctime>

namespace
{
using LostSoundDevice = PulseTest;

double ProcessCpuSeconds()
{
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
}

// The CPU time the process takes in a second while the test only waits: the sound server's thread
// and the streams do nothing either.
double CpuOfAnIdleSecond()
{
    const double dStart = ProcessCpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    return ProcessCpuSeconds() - dStart;
}

// Opens both streams on skt and checks that what is played is heard.
void OpenAndHear(CCaptureStream& capture, CPlaybackStream& playback)
{
    ASSERT_TRUE(capture.Open("skrivel-test", "skt.monitor")) << capture.GetError();
    ASSERT_TRUE(playback.Open("skrivel-test", "skt")) << playback.GetError();
    const std::vector<float> tone = Tone(1000.0, kRate);
    ASSERT_TRUE(playback.Write(tone.data(), tone.size()));
    EXPECT_NEAR(FindTone(Capture(capture, 2 * kRate)).m_dHz, 1000.0, 2.0);
}
} // namespace

TEST_F(LostSoundDevice, ADeviceUnloadedWhilePlayingIsLostQuietlyAndTakenAgainWhenBack)
{
    // Another output is there, but a stream on a named device never moves to it.
    ASSERT_GE(m_Server.LoadNullSink("spare", "Built-in Audio"), 0);
    CPulseClient client("Skrivel");
    CCaptureStream capture(client);
    CPlaybackStream playback(client);
    OpenAndHear(capture, playback);
    const std::vector<float> tone = Tone(1000.0, 2 * kRate);
    ASSERT_TRUE(playback.Write(tone.data(), tone.size()));

    ASSERT_TRUE(m_Server.UnloadModule(m_nSink));
    // A reader waiting for more than there will ever be is let go.
    std::vector<float> samples(10 * kRate);
    capture.Read(samples.data(), samples.size(), std::chrono::seconds(30));
    EXPECT_TRUE(capture.IsLost());
    ASSERT_TRUE(Eventually([&] { return playback.IsLost(); }));
    EXPECT_FALSE(playback.IsOpen());
    EXPECT_FALSE(playback.Write(tone.data(), kRate));
    EXPECT_EQ(playback.GetQueuedSamples(), 0);
    EXPECT_EQ(capture.Read(samples.data(), 1, std::chrono::seconds(30)), 0u);
    EXPECT_LT(CpuOfAnIdleSecond(), 0.05);

    EXPECT_FALSE(playback.Open("skrivel-test", "skt"));
    m_nSink = m_Server.LoadNullSink("skt", "Skrivel test output");
    ASSERT_GE(m_nSink, 0);
    OpenAndHear(capture, playback);
}

TEST_F(LostSoundDevice, AServerThatRestartsIsLostQuietlyAndReconnectedOnOpening)
{
    CPulseClient client("Skrivel");
    CCaptureStream capture(client);
    CPlaybackStream playback(client);
    OpenAndHear(capture, playback);

    m_Server.Stop();
    ASSERT_TRUE(Eventually([&] { return capture.IsLost() && playback.IsLost(); }));
    EXPECT_LT(CpuOfAnIdleSecond(), 0.05);
    EXPECT_FALSE(capture.Open("skrivel-test", "skt.monitor"));
    EXPECT_EQ(capture.GetError().rfind("Can't reach the sound server: ", 0), 0u) << capture.GetError();

    ASSERT_TRUE(m_Server.Start()) << m_Server.GetLog();
    m_nSink = m_Server.LoadNullSink("skt", "Skrivel test output");
    ASSERT_GE(m_nSink, 0);
    OpenAndHear(capture, playback);
}
