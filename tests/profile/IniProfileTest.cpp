#include "app/IniProfile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

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

    void WriteIni(const std::string& strText) { std::ofstream(m_strPath, std::ios::binary) << strText; }
    std::string ReadIni() const
    {
        std::ifstream in(m_strPath, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

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

TEST_F(IniProfileTest, ReloadTakesAnEditOfTheSameSizeWhoseTimeStampWasPutBack)
{
    WriteIni("[Tx]\nFontFileName=one.hlf\n[XmitMessages]\nMessage0=STORED\nMessage1=gone\n");
    CIniProfile profile(m_strPath);
    EXPECT_EQ(profile.GetProfileString("XmitMessages", "Message0", ""), "STORED");
    struct stat st
    {
    };
    ASSERT_EQ(::stat(m_strPath.c_str(), &st), 0);

    // Edited by hand while the program runs, as a copy that keeps the old time stamp would.
    WriteIni("[Tx]\nFontFileName=two.hlf\n[XmitMessages]\nMessage0=EDITED\nMessage2=news\n");
    ASSERT_EQ(std::filesystem::file_size(m_strPath), static_cast<std::uintmax_t>(st.st_size));
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, m_strPath.c_str(), times, 0), 0);

    profile.Reload();
    EXPECT_EQ(profile.GetProfileString("Tx", "FontFileName", ""), "two.hlf");
    EXPECT_EQ(profile.GetProfileString("XmitMessages", "Message0", ""), "EDITED");
    EXPECT_EQ(profile.GetProfileString("XmitMessages", "Message1", "default"), "default");
    EXPECT_EQ(profile.GetProfileString("XmitMessages", "Message2", ""), "news");

    // What the program writes later goes on from the edited file.
    profile.WriteProfileInt("Tx", "UpperCase", 0);
    std::string strError;
    ASSERT_TRUE(profile.Flush(strError)) << strError;
    EXPECT_EQ(ReadIni(),
              "[Tx]\nFontFileName=two.hlf\nUpperCase=0\n\n[XmitMessages]\nMessage0=EDITED\nMessage2=news\n");
}

TEST_F(IniProfileTest, OnlyTheEscapesTheProgramWritesAreUndone)
{
    // \s stands for a space only at the start of a value, where the writer puts it.
    WriteIni("[Startup]\nCommand=sed -e 's/\\s\\+/ /g' -e 's/\\d/x/' a\\\\b\\tc\n"
             "[XmitMessages]\nMessage0=\\s CQ\\sDE\\n\n");
    {
        CIniProfile profile(m_strPath);
        EXPECT_EQ(profile.GetProfileString("Startup", "Command", ""),
                  "sed -e 's/\\s\\+/ /g' -e 's/\\d/x/' a\\b\tc");
        EXPECT_EQ(profile.GetProfileString("XmitMessages", "Message0", ""), "  CQ\\sDE\n");
    }
    // Whatever the program writes reads back as it was.
    const std::string strOdd = " \\s\\n \\ \\s \n\t\r x";
    {
        CIniProfile profile(m_strPath);
        profile.WriteProfileString("XmitMessages", "Message1", strOdd);
    }
    CIniProfile profile(m_strPath);
    EXPECT_EQ(profile.GetProfileString("XmitMessages", "Message1", ""), strOdd);
}

TEST_F(IniProfileTest, AValueInWindows1252ReadsAsSuchAndIsWrittenBackInUtf8)
{
    // One message from an older system in Windows-1252, one in UTF-8.
    WriteIni("[XmitMessages]\n"
             "Message0=Gr\xFC\xDF"
             "e \x80 5 \x93ok\x94\n"
             "Message1=Gr\xC3\xBC\xC3\x9F"
             "e\n");
    {
        CIniProfile profile(m_strPath);
        EXPECT_EQ(profile.GetProfileString("XmitMessages", "Message0", ""), "Grüße € 5 “ok”");
        EXPECT_EQ(profile.GetProfileString("XmitMessages", "Message1", ""), "Grüße");
        profile.WriteProfileInt("Tx", "UpperCase", 1);
    }
    EXPECT_EQ(ReadIni(), "[Tx]\nUpperCase=1\n\n[XmitMessages]\nMessage0=Grüße € 5 “ok”\nMessage1=Grüße\n");
}
