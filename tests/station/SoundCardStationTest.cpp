// Skrivel's own sound-card port against a real sound server: what it transmits is heard on the
// output and read back from its picture, audio played into its input appears in its receive store,
// and an output that goes away is waited for without spinning and taken back when it returns.

#include "SoundCardStationFixture.h"

#include "audio/CaptureStream.h"
#include "audio/PlaybackStream.h"
#include "audio/PulseClient.h"
#include "link/HellModeNames.h"
#include "modem/FeldHellTransmitter.h"

TEST_F(SoundCardStationTest, WhatItTransmitsIsHeardAndReadBack)
{
    ASSERT_EQ(m_Doc.GetPortStatusText(), "SOUNDCARD");
    // A recorder of the output's monitor of its own, beside the port's receiver.
    Record();
    Send("CQ CQ DE TEST");
    const std::string strRecorded = ReadRecording();

    EXPECT_NE(strRecorded.find("CQ CQ DE TEST"), std::string::npos) << strRecorded;
    EXPECT_NE(ReadPicture().find("CQ CQ DE TEST"), std::string::npos) << ReadPicture();
    EXPECT_EQ(m_Doc.GetPortStatusText(), "SOUNDCARD"); // no underrun
}

// Hell X9 runs at nine times Feld-Hell's pace: the heartbeat keeps the port fed, so that a long
// text goes out as long as it should be, with no filler column inside a character, and is read
// back whole.
TEST_F(SoundCardStationTest, HellX9GoesOutWithNoFillerColumn)
{
    const CHellMode& x9 = *HellModes::Find("HELLX9");
    m_Doc.SetToneHz(2000);
    m_Doc.SetMode(HellModeNames::IndexOf("HELLX9"));
    std::string strText = "GLIB JOCKS QUIZ NYMPH TO VEX DWARF";
    for (int i = 0; i < 3; ++i)
        strText += " " + strText;
    Record();
    Send(strText);

    // How soon a null sink's monitor starts to deliver varies: its first word is not asked for.
    const std::string strFromSecondWord = strText.substr(strText.find(' '));
    EXPECT_NE(ReadRecording(x9, 2000.0).find(strFromSecondWord), std::string::npos) << ReadRecording(x9, 2000.0);
    // Every stroke is where it is in the same text sent with nothing added or missing, counted
    // back from the last: a filler column or a lost sample would move all before it.
    const std::vector<float> ideal = IdealAudio(strText, x9, 2000.0);
    const auto strokes = BurstsOf(m_Recording, 30);
    const auto idealStrokes = BurstsOf(ideal, 30);
    ASSERT_FALSE(strokes.empty());
    const std::size_t nFirstWordEnd = static_cast<std::size_t>(
        x9.FirstSampleOfPixel(static_cast<std::int64_t>(TxBytesOf(strText.substr(0, strText.find(' '))).size()),
                              AudioFormat::kSampleRate));
    int nMoved = 0;
    int nCompared = 0;
    for (std::size_t i = 1; i <= std::min(strokes.size(), idealStrokes.size()); ++i)
    {
        const auto& [nIdealFirst, nIdealLast] = idealStrokes[idealStrokes.size() - i];
        if (nIdealFirst < nFirstWordEnd)
            break;
        const std::ptrdiff_t nFromEnd = static_cast<std::ptrdiff_t>(strokes.back().second - strokes[strokes.size() - i].first);
        const std::ptrdiff_t nIdealFromEnd = static_cast<std::ptrdiff_t>(idealStrokes.back().second - nIdealFirst);
        nMoved += std::abs(nFromEnd - nIdealFromEnd) > 2 ? 1 : 0;
        ++nCompared;
    }
    EXPECT_GT(nCompared, 400);
    EXPECT_EQ(nMoved, 0) << "of " << nCompared;
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
    while (ReadPicture().find("RYRY DE DL0ABC K") == std::string::npos &&
           std::chrono::steady_clock::now() < tEnd)
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
