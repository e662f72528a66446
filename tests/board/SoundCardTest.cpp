#include "board/SoundCard.h"
#include "board/BoardEngine.h"
#include "board/PacedClock.h"
#include "board/TextCompare.h"
#include "modem/FeldHellRates.h"

#include "BoardTestUtil.h"
#include "PulseServer.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace
{
// A sound server of the test's own with one output, "rig", whose monitor hears what it plays.
class SoundCardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Server.Start()) << m_Server.GetLog();
        ASSERT_GE(m_Server.LoadNullSink("rig", "USB Audio CODEC"), 0);
    }

    CPulseServer m_Server;
};
} // namespace

TEST_F(SoundCardTest, TheBoardHearsItsOwnTransmissionThroughTheSoundServerWithoutAGap)
{
    CSoundCard card;
    ASSERT_TRUE(card.Open("rig.monitor", "rig", "")) << card.GetError();
    EXPECT_EQ(card.Describe(), "input \"Monitor of USB Audio CODEC\" (rig.monitor), output \"USB Audio CODEC\" (rig)");
    CBoardEngine engine(CBoardSettings{}, BundledFont());
    engine.SetReceivedAudio(&card);
    engine.AddTransmitSink(&card);
    // In real time, as behind the port: idle while a fresh null sink gets going (it starts playing
    // a second or two late), the text, and three seconds more for what is still queued.
    const std::string strText = " SOUND CARD 599 ";
    std::vector<std::uint8_t> bytes(FeldHellRates::kPixelRate * 5 / 2, 0);
    const std::vector<std::uint8_t> text = TxBytesOf(strText);
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.resize(bytes.size() + FeldHellRates::kPixelRate * 3, 0);
    const CPacedClock clock(FeldHellRates::kPixelRate);
    std::vector<CBoardEngine::Levels> levels(1);
    std::vector<std::uint8_t> received;
    for (std::size_t n = 0; n < bytes.size(); ++n)
    {
        clock.WaitFor(static_cast<std::int64_t>(n));
        engine.StepPixel(std::vector<std::uint8_t>{bytes[n]}, levels);
        received.insert(received.end(), levels[0].begin(), levels[0].end());
    }
    // A gap would cost whole characters and count an underrun; a glyph misread now and then on a
    // busy machine is no gap.
    std::string strRead = CHellReader::TextOf(CHellReader(BundledFont()).Read(received));
    strRead.erase(0, strRead.find_first_not_of(' '));
    strRead.erase(strRead.find_last_not_of(' ') + 1);
    EXPECT_LE(TextCompare::CountErrors(strRead, "SOUND CARD 599"), 2) << strRead;
    EXPECT_GE(strRead.size(), std::string("SOUND CARD 599").size()) << strRead;
    EXPECT_EQ(card.GetUnderruns(), 0);
}

TEST_F(SoundCardTest, PicksDevicesByPartOfTheirDescriptionButNeverAMonitor)
{
    CSoundCard card;
    EXPECT_FALSE(card.Open("", "", "USB Audio"));
    EXPECT_EQ(card.GetError(), "No sound input named like USB Audio");
    EXPECT_FALSE(card.Open("rig.monitor", "", "Built-in"));
    EXPECT_EQ(card.GetError(), "No sound output named like Built-in");
    ASSERT_TRUE(card.Open("rig.monitor", "", "USB Audio")) << card.GetError();
    EXPECT_NE(card.Describe().find("output \"USB Audio CODEC\" (rig)"), std::string::npos);
}

TEST_F(SoundCardTest, TheProgramListsInputsAndOutputsByDescriptionAndPrintsNothingElse)
{
    ASSERT_GE(m_Server.LoadNullSink("spare", "Built-in Audio Analog Stereo"), 0);
    EXPECT_EQ(RunAndRead(std::string(SKRIVEL_BOARD_PROGRAM) + " --list-audio 2>&1"),
              "Sound inputs (--audio-in NAME):\n"
              "  none\n"
              "Sound outputs (--audio-out NAME):\n"
              "  USB Audio CODEC (default)\n"
              "      rig\n"
              "  Built-in Audio Analog Stereo\n"
              "      spare\n");
    m_Server.Stop();
    EXPECT_EQ(RunAndRead(std::string(SKRIVEL_BOARD_PROGRAM) + " --list-audio 2>&1"),
              "skrivel-board: Can't reach the sound server: Connection refused\n");
}
