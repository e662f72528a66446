// The sound-card port keying a rig through a rig server of the test's own (rigctld with hamlib's
// dummy rig), its output played into a null sink whose monitor the test records: the transmitter
// is keyed from the lead time before the first tone until the tail after the last, by what is
// played; a rig server that dies or hangs during a transmission stops it with a message, keeps
// the text not yet sent, holds up no heartbeat, and is found again when it is back.

#include "BoardTestUtil.h"
#include "RigServer.h"
#include "StationFixture.h"

#include "audio/CaptureStream.h"
#include "audio/PulseClient.h"
#include "rig/HamlibRig.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kRate = 8000;

// What the test records while the document transmits: the output's audio as its monitor hears
// it, and the PTT as the rig server tells it, each against the clock.
class CRecorder
{
public:
    CRecorder(const std::string& strMonitor, const std::string& strRigAddress)
    {
        EXPECT_TRUE(m_Capture.Open("recorder", strMonitor, 60.0)) << m_Capture.GetError();
        CRigSettings rig;
        rig.m_nPtt = ERigPtt::Net;
        rig.m_strAddress = strRigAddress;
        EXPECT_TRUE(m_Ptt.Open(rig)) << m_Ptt.GetError();
        m_AudioThread = std::jthread([this](std::stop_token stop) { RecordAudio(stop); });
        m_PttThread = std::jthread([this](std::stop_token stop) { RecordPtt(stop); });
    }
    void Stop()
    {
        m_AudioThread = {};
        m_PttThread = {};
    }

    // When the sample was heard. Each read returns at or after its last sample was: the earliest of
    // them places the samples on the clock.
    Clock::time_point TimeOf(std::size_t nSample) const
    {
        Clock::duration offset = Clock::duration::max();
        for (const auto& [tRead, nTotal] : m_Reads)
            offset = std::min(offset, tRead.time_since_epoch() - SamplesToTime(nTotal));
        return Clock::time_point(offset + SamplesToTime(nSample));
    }

    std::vector<float> m_Audio;
    std::vector<std::pair<Clock::time_point, std::size_t>> m_Reads;
    std::vector<std::pair<Clock::time_point, bool>> m_PttReadings;

private:
    static Clock::duration SamplesToTime(std::size_t nSamples)
    {
        return std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(double(nSamples) / kRate));
    }
    void RecordAudio(std::stop_token stop)
    {
        std::vector<float> block(kRate / 50);
        while (!stop.stop_requested())
        {
            const std::size_t nRead = m_Capture.Read(block.data(), block.size(), 100ms);
            m_Audio.insert(m_Audio.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(nRead));
            if (nRead > 0)
                m_Reads.emplace_back(Clock::now(), m_Audio.size());
        }
    }
    void RecordPtt(std::stop_token stop)
    {
        while (!stop.stop_requested())
        {
            bool bKeyed = false;
            const Clock::time_point tAsked = Clock::now();
            if (m_Ptt.ReadPtt(bKeyed))
                m_PttReadings.emplace_back(tAsked, bKeyed);
            std::this_thread::sleep_for(5ms);
        }
    }

    CPulseClient m_Client{"recorder"};
    CCaptureStream m_Capture{m_Client};
    CHamlibRig m_Ptt;
    std::jthread m_AudioThread;
    std::jthread m_PttThread;
};

// The first and last loud sample of a recording (a tone at half scale; silence is zero).
std::pair<std::size_t, std::size_t> ToneSpan(const std::vector<float>& audio)
{
    const auto isLoud = [](float f) { return std::abs(f) > 0.1f; };
    const auto itFirst = std::find_if(audio.begin(), audio.end(), isLoud);
    const auto itLast = std::find_if(audio.rbegin(), audio.rend(), isLoud);
    if (itFirst == audio.end())
        return {0, 0};
    return {static_cast<std::size_t>(itFirst - audio.begin()),
            static_cast<std::size_t>(audio.rend() - itLast - 1)};
}

// The station keying the rig of a rig server.
class PttStationTest : public CStationFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_RigServer.Start());
        CRigSettings rig;
        rig.m_nPtt = ERigPtt::Net;
        rig.m_strAddress = m_RigServer.GetAddress();
        // Both longer than the output's queue, so that keying by what is merely queued shows: the
        // lead is silence before the first keyed item.
        rig.m_nLeadMs = 600;
        rig.m_nTailMs = 400;
        m_Rig.Configure(rig);
        CStationFixture::SetUp();
        // A fresh null sink starts playing late; the rig is found meanwhile.
        Run(2s);
        ASSERT_EQ(m_Doc.GetPttStatusText(), "PTT off") << m_Doc.GetPttProblemText();
        ASSERT_EQ(m_Doc.GetRigText(), "145.000000 MHz FM");
    }

    // Runs the heartbeat until the condition holds, ten seconds at most.
    template <class F> bool RunUntil(F condition)
    {
        for (int i = 0; i < 500 && !condition(); ++i)
            Run(20ms);
        return condition();
    }

    // Transmits until the transmitter is keyed and some of the text has gone.
    void StartLongTransmission()
    {
        m_Source.m_strText =
            "RYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRY";
        m_Doc.OnTransmit();
        ASSERT_TRUE(RunUntil([&] { return m_Doc.GetPttStatusText() == "PTT ON" && m_Source.m_nPos > 4; }));
        ASSERT_EQ(m_RigServer.ReadPtt(), 1);
    }

    // The transmission was stopped with the message, and the text behind it stays unsent.
    void ExpectStoppedKeepingTheText()
    {
        ASSERT_EQ(m_Host.m_Messages.size(), 1u);
        EXPECT_NE(m_Host.m_Messages[0].find("could not be keyed"), std::string::npos) << m_Host.m_Messages[0];
        EXPECT_NE(m_Host.m_Details[0].find(m_RigServer.GetAddress()), std::string::npos)
            << m_Host.m_Details[0];
        EXPECT_FALSE(m_Doc.m_bTransmitting);
        const std::size_t nTaken = m_Source.m_nPos;
        Run(1s);
        EXPECT_EQ(m_Source.m_nPos, nTaken);
        EXPECT_LT(nTaken + 20, m_Source.m_strText.size());
    }

    CRigServer m_RigServer;
};
} // namespace

TEST_F(PttStationTest, KeyedFromTheLeadBeforeTheToneToTheTailAfterIt)
{
    CRecorder recorder("station.monitor", m_RigServer.GetAddress());
    Run(500ms);
    m_Source.m_strText = "CQ DE TEST";
    m_Doc.OnTransmit();
    m_Doc.OnReceive();
    ASSERT_TRUE(RunUntil([&] { return !m_Doc.m_bTransmitting; }));
    ASSERT_TRUE(RunUntil([&] { return m_Doc.GetPttStatusText() == "PTT off"; }));
    Run(500ms);
    recorder.Stop();

    const auto [nFirst, nLast] = ToneSpan(recorder.m_Audio);
    ASSERT_GT(nLast, nFirst + kRate) << "no tone recorded";
    const Clock::time_point tToneStart = recorder.TimeOf(nFirst);
    const Clock::time_point tToneEnd = recorder.TimeOf(nLast + 1);
    const auto& readings = recorder.m_PttReadings;
    const auto itOn = std::find_if(readings.begin(), readings.end(), [](const auto& r) { return r.second; });
    ASSERT_NE(itOn, readings.end());
    const auto itOff = std::find_if(itOn, readings.end(), [](const auto& r) { return !r.second; });
    ASSERT_NE(itOff, readings.end());
    // Keyed at least the lead before the first keyed item is heard (the reading before the key
    // still said released), and so before the first tone; and all the while the tone was heard.
    // The first item is the space that starts every transmission, keyed without a tone.
    const std::vector<std::uint8_t> items = TxBytesOf(" CQ DE TEST ");
    const auto Pixels = [](std::ptrdiff_t nPixels)
    {
        return std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(double(nPixels) / FeldHellRates::kPixelRate));
    };
    const auto isTone = [](std::uint8_t n) { return (n & TxItems::kTone) != 0; };
    const Clock::time_point tFirstKeyed =
        tToneStart - Pixels(std::find_if(items.begin(), items.end(), isTone) - items.begin());
    const Clock::time_point tLastOff = std::prev(itOn)->first;
    const auto keyedBefore = std::chrono::duration_cast<std::chrono::milliseconds>(tFirstKeyed - tLastOff);
    EXPECT_GE(keyedBefore, 600ms) << keyedBefore.count() << " ms";
    // Released once the tail has played after the last keyed item, the space that ends every
    // transmission, not before. Later by a little: the monitor hears a null sink's audio ahead of
    // the latency the sink reports (about 150 ms here), the output's count of played samples
    // comes in steps of its input blocks, and the server takes up to 50 ms.
    const Clock::time_point tKeyedEnd =
        tToneEnd + Pixels(std::find_if(items.rbegin(), items.rend(), isTone) - items.rbegin());
    const auto releasedAfter =
        std::chrono::duration_cast<std::chrono::milliseconds>(itOff->first - tKeyedEnd);
    EXPECT_GE(releasedAfter, 400ms) << releasedAfter.count() << " ms";
    EXPECT_LE(releasedAfter, 400ms + 400ms) << releasedAfter.count() << " ms";
    EXPECT_TRUE(m_Host.m_Messages.empty());
}

TEST_F(PttStationTest, ARigServerKilledStopsTheTransmissionAndIsFoundAgain)
{
    StartLongTransmission();
    m_RigServer.Kill();
    ASSERT_TRUE(RunUntil([&] { return !m_Host.m_Messages.empty(); }));
    ExpectStoppedKeepingTheText();
    EXPECT_EQ(m_Doc.GetPttStatusText(), "PTT: no rig");
    EXPECT_NE(m_Doc.GetPttProblemText().find(m_RigServer.GetAddress()), std::string::npos);
    EXPECT_EQ(m_Doc.GetRigText(), "");

    ASSERT_TRUE(m_RigServer.Start());
    EXPECT_TRUE(RunUntil([&] { return m_Doc.GetPttStatusText() == "PTT off"; }));
    // Transmitting again keys the rig found again.
    m_Doc.OnTransmit();
    EXPECT_TRUE(RunUntil([&] { return m_Doc.GetPttStatusText() == "PTT ON"; }));
    EXPECT_EQ(m_RigServer.ReadPtt(), 1);
    m_Doc.OnImmediateReceive();
    EXPECT_TRUE(RunUntil([&] { return m_RigServer.ReadPtt() == 0; }));
}

TEST_F(PttStationTest, ARigServerThatHangsHoldsUpNoHeartbeat)
{
    StartLongTransmission();
    m_RigServer.Pause();
    // The rig's thread waits for its time-out; the heartbeat runs on all the while.
    const CRigStatus before = m_Rig.GetStatus();
    const int nTicks = Run(600ms);
    EXPECT_GE(nTicks, 10);
    EXPECT_EQ(m_Rig.GetStatus().m_nFailures, before.m_nFailures);
    ASSERT_TRUE(RunUntil([&] { return !m_Host.m_Messages.empty(); }));
    ExpectStoppedKeepingTheText();
    m_RigServer.Resume();
    EXPECT_TRUE(RunUntil([&] { return m_Doc.GetPttStatusText() == "PTT off"; }));
    EXPECT_EQ(m_RigServer.ReadPtt(), 0);
}

TEST_F(PttStationTest, ThePortGoingReleasesTheTransmitter)
{
    StartLongTransmission();
    m_Doc.OnDummyPort();
    EXPECT_EQ(m_RigServer.ReadPtt(), 0);
    EXPECT_EQ(m_Doc.GetPttStatusText(), "");
}
