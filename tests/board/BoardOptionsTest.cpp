#include "board/BoardOptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
bool Parse(std::vector<std::string> args, CBoardOptions& options, std::string& strError)
{
    args.insert(args.begin(), "skrivel-board");
    std::vector<char*> argv;
    for (std::string& str : args)
        argv.push_back(str.data());
    return options.Parse(static_cast<int>(argv.size()), argv.data(), strError);
}
} // namespace

TEST(BoardOptions, TakesAFullSimulation)
{
    CBoardOptions options;
    std::string strError;
    ASSERT_TRUE(Parse({"--pair", "--link", "/tmp/a", "--link2", "/tmp/b", "--remote-text", "CQ DE SIM",
                       "--remote-ppm", "-150", "--snr=-3.5", "--fade", "--tone", "1200", "--record", "tx.wav",
                       "--monitor", "--remote-pause", "10", "--remote-drift", "-1", "--no-afc"},
                      options, strError))
        << strError;
    const CBoardSettings& s = options.m_Settings;
    EXPECT_TRUE(s.m_bPair);
    EXPECT_TRUE(s.m_bMonitor);
    EXPECT_EQ(options.m_strLink, "/tmp/a");
    EXPECT_EQ(options.m_strLink2, "/tmp/b");
    EXPECT_EQ(s.m_strRemoteText, "CQ DE SIM");
    EXPECT_DOUBLE_EQ(s.m_dRemotePpm, -150.0);
    ASSERT_TRUE(s.m_SnrDb.has_value());
    EXPECT_DOUBLE_EQ(*s.m_SnrDb, -3.5);
    EXPECT_DOUBLE_EQ(s.m_dFadeHz, 0.5);
    EXPECT_DOUBLE_EQ(s.m_dToneHz, 1200.0);
    EXPECT_EQ(options.m_strRecord, "tx.wav");
    EXPECT_DOUBLE_EQ(s.m_dRemotePauseSeconds, 10.0);
    EXPECT_DOUBLE_EQ(s.m_dRemoteDriftHz, -1.0);
    EXPECT_FALSE(s.m_bAfc);

    CBoardOptions playing;
    ASSERT_TRUE(Parse({"--play", "x.wav", "--play-channel", "right"}, playing, strError));
    EXPECT_EQ(playing.m_nPlayChannel, CWavReader::EChannel::Right);
    EXPECT_TRUE(playing.m_Settings.m_bAfc);

    CBoardOptions fading;
    ASSERT_TRUE(Parse({"--fade=2"}, fading, strError));
    EXPECT_DOUBLE_EQ(fading.m_Settings.m_dFadeHz, 2.0);
    EXPECT_FALSE(fading.m_Settings.m_SnrDb.has_value());
}

TEST(BoardOptions, RefusesWhatCannotWork)
{
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--tone", "12x"},
                                               {"--tone", "20"},
                                               {"--snr"},
                                               {"--fade=0"},
                                               {"--play-channel", "both"},
                                               {"--bogus"},
                                               {"stray"},
                                               {"--link2", "/tmp/b"},
                                               {"--audio", "--play", "x.wav"},
                                               {"--audio-device", "USB"},
                                               {"--audio-out", "alsa_output.usb"}})
    {
        CBoardOptions options;
        std::string strError;
        EXPECT_FALSE(Parse(args, options, strError)) << args[0];
        EXPECT_FALSE(strError.empty()) << args[0];
    }
}

TEST(BoardOptions, TakesTheSoundDevicesByName)
{
    CBoardOptions options;
    std::string strError;
    ASSERT_TRUE(Parse({"--audio", "--audio-in", "alsa_input.usb-x.mono", "--audio-out", "alsa_output.usb-x.stereo"},
                      options, strError))
        << strError;
    EXPECT_EQ(options.m_strAudioIn, "alsa_input.usb-x.mono");
    EXPECT_EQ(options.m_strAudioOut, "alsa_output.usb-x.stereo");
    EXPECT_TRUE(options.m_strAudioDevice.empty());
}
