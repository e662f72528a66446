// Skrivel's own sound-card port against a real sound server: what it transmits is heard on the
// output and read back from its picture, audio played into its input appears in its receive store,
// and an output that goes away is waited for without spinning and taken back when it returns.

#include "BoardTestUtil.h"
#include "StationFixture.h"

#include "audio/CaptureStream.h"
#include "audio/PlaybackStream.h"
#include "audio/PulseClient.h"
#include "modem/FeldHellTransmitter.h"

namespace
{
using namespace std::chrono_literals;

// The station receiving what it sends, or another station's recording.
class SoundCardStationTest : public CStationFixture
{
protected:
    // Listens to another output's monitor from now on (the port is opened anew).
    void ListenTo(const std::string& strInput)
    {
        m_strInput = strInput;
        m_Doc.OpenPort(CSoundCardPort::kName);
    }

    // Transmits the text and runs until it has gone out and the picture shows it.
    void Send(const std::string& strText)
    {
        m_Source.m_strText += strText;
        m_Doc.OnTransmit();
        m_Doc.OnReceive();
        for (int i = 0; i < 1000 && m_Doc.m_bTransmitting; ++i)
            Run(20ms);
        Run(1s); // the output's queue and the receiver's filter
    }

    std::string ReadPicture() const
    {
        std::vector<std::uint8_t> samples;
        const CRxStore& store = m_Doc.m_RxStore;
        for (int nPage = 0; nPage < store.m_nRxPages; ++nPage)
        {
            const std::uint8_t* pPage = store.m_RxPages[static_cast<std::size_t>(nPage)]->data();
            samples.insert(samples.end(), pPage, pPage + store.GetPageByteCount(nPage));
        }
        return CHellReader::TextOf(CHellReader(BundledFont()).Read(samples));
    }
};
} // namespace

TEST_F(SoundCardStationTest, WhatItTransmitsIsHeardAndReadBack)
{
    ASSERT_EQ(m_Doc.GetPortStatusText(), "SOUNDCARD");
    // A recorder of the output's monitor of its own, beside the port's receiver.
    CPulseClient client("recorder");
    CCaptureStream recorder(client);
    ASSERT_TRUE(recorder.Open("recorder", "station.monitor", 60.0)) << recorder.GetError();
    Send("CQ CQ DE TEST");
    std::vector<float> audio(static_cast<std::size_t>(recorder.GetAvailable()));
    audio.resize(recorder.Read(audio.data(), audio.size(), 100ms));
    std::vector<std::uint8_t> levels;
    CFeldHellReceiver(1000.0, 8000).Process(audio.data(), audio.size(), levels);
    const std::string strRecorded = CHellReader::TextOf(CHellReader(BundledFont()).Read(levels));

    EXPECT_NE(strRecorded.find("CQ CQ DE TEST"), std::string::npos) << strRecorded;
    EXPECT_NE(ReadPicture().find("CQ CQ DE TEST"), std::string::npos) << ReadPicture();
    EXPECT_EQ(m_Doc.GetPortStatusText(), "SOUNDCARD"); // no underrun
}

TEST_F(SoundCardStationTest, ARecordingPlayedIntoTheInputIsReadFromThePicture)
{
    // Another station: a recording of its transmission played into an output whose monitor is
    // Skrivel's input.
    ASSERT_GE(m_Server.LoadNullSink("radio", "Radio"), 0);
    ListenTo("radio.monitor");
    const std::vector<std::uint8_t> items = TxBytesOf("  RYRY DE DL0ABC K  ");
    std::size_t nItem = 0;
    CFeldHellTransmitter station([&] { return nItem < items.size() ? items[nItem++] : std::uint8_t{0}; });
    std::vector<float> recording(static_cast<std::size_t>(FeldHellRates::FirstSampleOfPixel(
        static_cast<std::int64_t>(items.size()) + FeldHellRates::kPixelRate)));
    station.Generate(recording.data(), recording.size());
    for (float& fSample : recording)
        fSample *= 0.5f;
    CPulseClient client("other station");
    CPlaybackStream radio(client);
    ASSERT_TRUE(radio.Open("other station", "radio")) << radio.GetError();
    std::vector<float> lead(8000, 0.0f); // a fresh null sink plays late
    ASSERT_TRUE(radio.Write(lead.data(), lead.size()));
    ASSERT_TRUE(radio.Write(recording.data(), recording.size()));
    const auto tEnd = std::chrono::steady_clock::now() + 15s;
    while (ReadPicture().find("RYRY DE DL0ABC K") == std::string::npos && std::chrono::steady_clock::now() < tEnd)
        Run(200ms);
    EXPECT_NE(ReadPicture().find("RYRY DE DL0ABC K"), std::string::npos) << ReadPicture();
}

TEST_F(SoundCardStationTest, AnOutputThatGoesAwayIsWaitedForAndTakenBack)
{
    m_Source.m_strText = "RYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRY";
    m_Doc.OnTransmit();
    // A fresh null sink starts playing a second or two late.
    for (int i = 0; i < 250 && m_Source.m_nPos < 3; ++i)
        Run(20ms);
    ASSERT_GE(m_Source.m_nPos, 3u);
    ASSERT_TRUE(m_Server.UnloadModule(m_nSink));
    Run(1500ms);
    EXPECT_EQ(m_Doc.GetPortState(), EPortState::Lost);
    EXPECT_EQ(m_Doc.GetPortStatusText(), "SOUNDCARD: lost");
    // A lost output takes no text and costs no CPU: silent slots of the full time-out.
    const std::size_t nSentBefore = m_Source.m_nPos;
    const auto tCpuBefore = m_Doc.GetIoThreadCpuTime();
    Run(2s);
    EXPECT_LT(m_Doc.GetIoThreadCpuTime() - tCpuBefore, 100ms);
    EXPECT_LE(m_Source.m_nPos, nSentBefore + 1);
    EXPECT_LT(m_Source.m_nPos, m_Source.m_strText.size());

    m_nSink = m_Server.LoadNullSink("station", "Station output");
    ASSERT_GE(m_nSink, 0);
    for (int i = 0; i < 100 && m_Doc.GetPortState() != EPortState::Open; ++i)
        Run(50ms);
    EXPECT_EQ(m_Doc.GetPortState(), EPortState::Open);
    for (int i = 0; i < 250 && m_Source.m_nPos <= nSentBefore + 1; ++i)
        Run(20ms);
    EXPECT_GT(m_Source.m_nPos, nSentBefore + 1); // the text goes on
}
