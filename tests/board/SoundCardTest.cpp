#include "board/SoundCard.h"
#include "board/BoardEngine.h"

#include "BoardTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace
{
// The sound system of this process sees one device only: ALSA's null device, which takes all it
// is given and hands back whatever its buffer holds. Set before the sound system first starts.
class SoundCardTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        const std::string strPath =
            (std::filesystem::temp_directory_path() / ("skrivel-alsa-" + std::to_string(getpid()) + ".conf"))
                .string();
        std::ofstream(strPath)
            << "pcm.!default {\n  type null\n  hint { show on description \"Null device\" }\n}\n";
        setenv("ALSA_CONFIG_PATH", strPath.c_str(), 1);
    }
};
} // namespace

TEST_F(SoundCardTest, OpensTheDefaultDevicesAndKeepsTheBoardGoingOnThem)
{
    CSoundCard card;
    ASSERT_TRUE(card.Open("")) << card.GetError();
    EXPECT_NE(card.Describe().find("default"), std::string::npos) << card.Describe();
    CBoardSettings settings;
    CBoardEngine engine(settings, BundledFont());
    engine.SetReceivedAudio(&card);
    engine.AddTransmitSink(&card);
    // Two seconds of signal without waiting for the card: what it has not recorded yet is silence.
    EXPECT_EQ(engine.RunReceiving(490).size(), 980u);
}

TEST_F(SoundCardTest, NamesTheDeviceItCannotFind)
{
    CSoundCard card;
    EXPECT_FALSE(card.Open("no such card"));
    EXPECT_EQ(card.GetError(), "No sound input device named no such card");
    bool bFound = false;
    for (const std::string& strName : CSoundCard::ListDevices())
        bFound = bFound || strName.rfind("default", 0) == 0;
    EXPECT_TRUE(bFound);
}
