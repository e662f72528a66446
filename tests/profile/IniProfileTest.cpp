#include "app/IniProfile.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace
{
class IniProfileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_strPath =
            (std::filesystem::temp_directory_path() / ("skrivel-ini-" + std::to_string(::getpid()) + ".ini"))
                .string();
        std::filesystem::remove(m_strPath);
    }
    void TearDown() override { std::filesystem::remove(m_strPath); }

    void WriteIni(const std::string& strText) { std::ofstream(m_strPath) << strText; }

    std::string m_strPath;
};
} // namespace

TEST_F(IniProfileTest, MissingKeysGiveTheDefaultAndEmptyKeysTheEmptyString)
{
    WriteIni("[Comm]\nPort=\n");
    CIniProfile profile(m_strPath);
    EXPECT_EQ(profile.GetProfileString("Comm", "Port", "DUMMY"), "");
    EXPECT_EQ(profile.GetProfileString("Comm", "Other", "DUMMY"), "DUMMY");
    EXPECT_EQ(profile.GetProfileInt("Tx", "UpperCase", 1), 1);
}

TEST_F(IniProfileTest, NumbersAreReadLikeTheOldProfileDid)
{
    WriteIni("[Tx]\nA=2\nB=abc\nC=12abc\nD=99999999999999999999\nE=-3\nF=\nG= 7\n");
    CIniProfile profile(m_strPath);
    EXPECT_EQ(profile.GetProfileInt("Tx", "A", 5), 2);
    EXPECT_EQ(profile.GetProfileInt("Tx", "B", 5), 0);
    EXPECT_EQ(profile.GetProfileInt("Tx", "C", 5), 12);
    EXPECT_EQ(profile.GetProfileInt("Tx", "D", 5), INT_MAX);
    EXPECT_EQ(profile.GetProfileInt("Tx", "E", 5), -3);
    EXPECT_EQ(profile.GetProfileInt("Tx", "F", 5), 0);
    EXPECT_EQ(profile.GetProfileInt("Tx", "G", 5), 7);
}

TEST_F(IniProfileTest, LongMultiLineAndOddStringsRoundTripWhole)
{
    const std::string strLong(20000, 'q');
    const std::string strLines = "CQ CQ, DE TEST\r\n= \"quoted\" ; [x] \\ % ÄÖÜ\r\n";
    {
        CIniProfile profile(m_strPath);
        profile.WriteProfileString("XmitMessages", "Message0", strLong);
        profile.WriteProfileString("XmitMessages", "Message1", strLines);
        profile.WriteProfileString("Comm", "Port", "");
        profile.WriteProfileInt("Tx", "UseDiddle", 1);
        std::string strError;
        EXPECT_TRUE(profile.Flush(strError)) << strError;
    }
    CIniProfile profile(m_strPath);
    EXPECT_EQ(profile.GetProfileString("XmitMessages", "Message0", ""), strLong);
    EXPECT_EQ(profile.GetProfileString("XmitMessages", "Message1", ""), strLines);
    EXPECT_EQ(profile.GetProfileString("Comm", "Port", "DUMMY"), "");
    EXPECT_EQ(profile.GetProfileInt("Tx", "UseDiddle", 0), 1);
    EXPECT_EQ(profile.GetProfileString("xmitmessages", "Message0", "none"), "none"); // keys keep their case
}

TEST_F(IniProfileTest, AnUnwritableFileIsReportedByFlush)
{
    std::filesystem::create_directory(m_strPath); // a directory where the file should be
    CIniProfile profile(m_strPath);
    profile.WriteProfileInt("Tx", "UpperCase", 1);
    std::string strError;
    EXPECT_FALSE(profile.Flush(strError));
    EXPECT_NE(strError.find(m_strPath), std::string::npos);
    std::filesystem::remove(m_strPath);
}

TEST_F(IniProfileTest, HandWrittenCommandsKeepTheirQuotesAndCommas)
{
    WriteIni("; a comment\n[Startup]\nCommand = sh -c \"touch '/tmp/a b', "
             "x\"\r\n[Tx]\nFontFileName=C:\\fonts\\x.hlf\n");
    CIniProfile profile(m_strPath);
    EXPECT_EQ(profile.GetProfileString("Startup", "Command", ""), "sh -c \"touch '/tmp/a b', x\"");
    EXPECT_EQ(profile.GetProfileString("Tx", "FontFileName", ""), "C:\\fonts\\x.hlf");
}

TEST_F(IniProfileTest, LeadingAndTrailingSpacesOfAValueSurvive)
{
    {
        CIniProfile profile(m_strPath);
        profile.WriteProfileString("XmitMessages", "Message2", "  CQ \t ");
    }
    CIniProfile profile(m_strPath);
    EXPECT_EQ(profile.GetProfileString("XmitMessages", "Message2", ""), "  CQ \t ");
}
