#include "DocTestFixture.h"

#include <sys/stat.h>

#include <algorithm>
#include <fstream>

namespace
{
// A short font file in which the diddle (glyph 1) and "A" are all marked, the rest blank.
void WriteFontOfDiddleAndA(const std::string& strPath)
{
    std::string strBytes(CHellFont::kGlyphBytes * ('A' + 1), '\0');
    std::fill_n(strBytes.begin() + CHellFont::kGlyphBytes, CHellFont::kGlyphBytes, '\1');
    std::fill_n(strBytes.begin() + CHellFont::kGlyphBytes * 'A', CHellFont::kGlyphBytes, '\1');
    std::ofstream(strPath, std::ios::binary) << strBytes;
}
} // namespace

TEST_F(DocTest, EmptyProfileGivesTheDefaults)
{
    m_Profile.m_Values.clear();
    CSkrivelDoc& doc = NewDoc();
    EXPECT_TRUE(doc.m_bFullDuplex);
    EXPECT_TRUE(doc.m_bUpperCase);
    EXPECT_FALSE(doc.m_bReverseVideo);
    EXPECT_TRUE(doc.m_bUseDiddle);
    EXPECT_EQ(doc.m_strFontFileName, "hellfont.hlf");
    EXPECT_TRUE(m_Host.m_Messages.empty());
    EXPECT_TRUE(doc.GetGlyphPixel('A', 0, 'A' % 14)); // the fixture's font, from the data directory
    EXPECT_EQ(doc.GetPortName(), "DUMMY");
    EXPECT_EQ(doc.GetPortStatusText(), "DUMMY");
    for (const std::string& strMessage : doc.m_strXmitMessages)
        EXPECT_EQ(strMessage, "");
    EXPECT_TRUE(doc.m_bDisplayOn);
    EXPECT_FALSE(doc.m_bTransmitting);
    EXPECT_STREQ(doc.GetStatusText(), "Receiving");
}

TEST_F(DocTest, StoredFlagsAreReadAsNonZeroAndWrittenAsZeroOrOne)
{
    m_Profile.Set("Tx", "FullDuplex", "0");
    m_Profile.Set("Tx", "UpperCase", "2");
    m_Profile.Set("Tx", "ReverseVideo", "-1");
    m_Profile.Set("Tx", "UseDiddle", "0");
    CSkrivelDoc& doc = NewDoc();
    EXPECT_FALSE(doc.m_bFullDuplex);
    EXPECT_TRUE(doc.m_bUpperCase);
    EXPECT_TRUE(doc.m_bReverseVideo);
    EXPECT_FALSE(doc.m_bUseDiddle);
    doc.OnDiddle(); // closing writes the flags as they are then
    m_pDoc.reset();
    EXPECT_EQ(m_Profile.GetProfileString("Tx", "UpperCase", ""), "1");
    EXPECT_EQ(m_Profile.GetProfileString("Tx", "ReverseVideo", ""), "1");
    EXPECT_EQ(m_Profile.GetProfileString("Tx", "FullDuplex", ""), "0");
    EXPECT_EQ(m_Profile.GetProfileString("Tx", "UseDiddle", ""), "1");
}

TEST_F(DocTest, AnEmptyStoredPortOpensNoPortAndSaysNothing)
{
    CSkrivelDoc& doc = NewDoc();
    EXPECT_EQ(doc.GetPortName(), "");
    EXPECT_EQ(doc.GetPortStatusText(), "no port");
    EXPECT_TRUE(m_Host.m_Messages.empty());
    m_pDoc.reset();
    ASSERT_TRUE(m_Profile.Has("Comm", "Port"));
    EXPECT_EQ(m_Profile.GetProfileString("Comm", "Port", "DUMMY"), "");
}

TEST_F(DocTest, AStoredPortThatCannotBeOpenedIsKeptAndWaitedForSilently)
{
    const std::string strPort = PathOf("board");
    m_Profile.Set("Comm", "Port", strPort);
    CSkrivelDoc& doc = NewDoc();
    EXPECT_TRUE(m_Host.m_Messages.empty());
    EXPECT_EQ(doc.GetPortName(), strPort);
    EXPECT_EQ(doc.GetPortStatusText(), strPort + ": waiting for the device");
    EXPECT_EQ(doc.GetPortProblemText(), "There is no device " + strPort + " (No such file or directory).");
    m_pDoc.reset();
    EXPECT_EQ(m_Profile.GetProfileString("Comm", "Port", ""), strPort);
}

TEST_F(DocTest, CannedMessagesUseKeysMessage0ToMessage8AndKeepLongAndMultiLineText)
{
    const std::string strLong(10000, 'x');
    m_Profile.Set("XmitMessages", "Message0", "first");
    m_Profile.Set("XmitMessages", "Message8", "CQ CQ\r\nDE TEST");
    m_Profile.Set("XmitMessages", "Message4", strLong);
    CSkrivelDoc& doc = NewDoc();
    EXPECT_EQ(doc.m_strXmitMessages[0], "first");
    EXPECT_EQ(doc.m_strXmitMessages[4], strLong);
    EXPECT_EQ(doc.m_strXmitMessages[8], "CQ CQ\r\nDE TEST");
    doc.m_strXmitMessages[1] = "second";
    doc.OnCloseDocument();
    EXPECT_EQ(m_Profile.GetProfileString("XmitMessages", "Message1", ""), "second");
    EXPECT_EQ(m_Profile.GetProfileString("XmitMessages", "Message4", ""), strLong);
}

TEST_F(DocTest, FileNewRestoresTheStoredSettingsAndMessages)
{
    m_Profile.Set("Tx", "UpperCase", "1");
    m_Profile.Set("XmitMessages", "Message2", "stored");
    CSkrivelDoc& doc = NewDoc();
    doc.OnUpperCase();
    doc.OnBlackOnWhite();
    doc.OnDummyPort();
    doc.m_strXmitMessages[2] = "edited";
    doc.OnTransmit();
    doc.StoreRxPixel(7, true);

    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(doc.m_bUpperCase);
    EXPECT_FALSE(doc.m_bReverseVideo);
    EXPECT_EQ(doc.GetPortName(), "");
    EXPECT_EQ(doc.m_strXmitMessages[2], "stored");
    EXPECT_FALSE(doc.m_bTransmitting);
    EXPECT_EQ(doc.m_RxStore.GetByteCount(), 0u);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocTest, ClosingWritesTheMessagesThenThePortAndFlagsAndNeverTheFontName)
{
    NewDoc();
    m_pDoc->OnCloseDocument();
    m_pDoc.reset();
    const std::vector<std::string> expected = {"XmitMessages/Message0", "XmitMessages/Message1",
                                               "XmitMessages/Message2", "XmitMessages/Message3",
                                               "XmitMessages/Message4", "XmitMessages/Message5",
                                               "XmitMessages/Message6", "XmitMessages/Message7",
                                               "XmitMessages/Message8", "Comm/Port",
                                               "Tx/UpperCase",          "Tx/ReverseVideo",
                                               "View/Brightness",       "View/Contrast",
                                               "View/Zoom",             "View/Slant",
                                               "Tx/FullDuplex",         "Tx/UseDiddle"};
    EXPECT_EQ(m_Profile.m_Writes, expected);
}

TEST_F(DocTest, PictureSettingsAreReadWithinTheirRangesAndWrittenAsSet)
{
    EXPECT_EQ(NewDoc().m_Picture, SPictureSettings{});
    m_pDoc.reset(); // a closing document writes its settings
    // Out of range: clamped; a zoom between steps: the nearest step.
    const auto read = [this](const char* pszZoom)
    {
        m_Profile.Set("View", "Brightness", "250");
        m_Profile.Set("View", "Contrast", "-101");
        m_Profile.Set("View", "Zoom", pszZoom);
        m_Profile.Set("View", "Slant", "-20000");
        const SPictureSettings settings = NewDoc().m_Picture;
        m_pDoc.reset();
        return settings;
    };
    EXPECT_EQ(read("170"), (SPictureSettings{100, -100, 150, -10000}));
    EXPECT_EQ(read("10").nZoom, 100);
    EXPECT_EQ(read("900").nZoom, 300);

    NewDoc().SetPicture({-30, 40, 260, 120});
    EXPECT_EQ(m_pDoc->m_Picture, (SPictureSettings{-30, 40, 300, 120}));
    m_pDoc.reset();
    EXPECT_EQ(m_Profile.GetProfileString("View", "Brightness", ""), "-30");
    EXPECT_EQ(m_Profile.GetProfileString("View", "Contrast", ""), "40");
    EXPECT_EQ(m_Profile.GetProfileString("View", "Zoom", ""), "300");
    EXPECT_EQ(m_Profile.GetProfileString("View", "Slant", ""), "120");
}

TEST_F(DocTest, AMissingFontIsReportedByTheNameAsConfiguredAndKeepsTheGlyphs)
{
    const std::string strFont = PathOf("font.hlf");
    WriteFontOfDiddleAndA(strFont);
    m_Profile.Set("Tx", "FontFileName", strFont);
    CSkrivelDoc& doc = NewDoc();
    EXPECT_TRUE(m_Host.m_Messages.empty());
    EXPECT_TRUE(doc.GetGlyphPixel('A', 5, 13));

    std::filesystem::remove(strFont);
    ASSERT_TRUE(doc.OnNewDocument());
    ASSERT_EQ(m_Host.m_Messages.size(), 1u);
    EXPECT_EQ(m_Host.m_Messages[0], "Can't open font file " + strFont);
    EXPECT_TRUE(doc.GetGlyphPixel('A', 5, 13));
}

TEST_F(DocTest, AFontThatDrawsNoVisibleCharacterIsReportedLikeAMissingOne)
{
    // Loaded first, an empty file or one that draws only the diddle would send every character
    // blank while the text turns red as sent.
    const std::string strEmpty = PathOf("empty.hlf");
    std::ofstream(strEmpty, std::ios::binary) << "";
    const std::string strDiddle = PathOf("diddle.hlf");
    std::ofstream(strDiddle, std::ios::binary) << std::string(84, '\0') << std::string(84, '\1');
    m_Profile.Set("Tx", "FontFileName", strEmpty);
    CSkrivelDoc& doc = NewDoc();
    m_Profile.Set("Tx", "FontFileName", strDiddle);
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(m_Host.m_Messages, (std::vector<std::string>{"Can't open font file " + strEmpty,
                                                           "Can't open font file " + strDiddle}));
    EXPECT_FALSE(doc.GetGlyphPixel(1, 0, 0)); // nothing of the refused file was taken

    // Over a font that draws, a short file replaces only the glyphs it covers, as before.
    const std::string strGood = PathOf("good.hlf");
    WriteFontOfDiddleAndA(strGood);
    m_Profile.Set("Tx", "FontFileName", strGood);
    ASSERT_TRUE(doc.OnNewDocument());
    m_Profile.Set("Tx", "FontFileName", strEmpty);
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(m_Host.m_Messages.size(), 2u);
    EXPECT_TRUE(doc.GetGlyphPixel('A', 0, 0));
}

TEST_F(DocTest, ABareFontNameIsFoundInTheDataDirectory)
{
    WriteFontOfDiddleAndA(PathOf("mine.hlf"));
    m_Profile.Set("Tx", "FontFileName", "mine.hlf");
    m_pDoc = std::make_unique<CSkrivelDoc>(m_Profile, m_Host);
    m_pDoc->SetFontDataDirs({(m_Dir / "nowhere").string(), m_Dir.string()});
    ASSERT_TRUE(m_pDoc->OnNewDocument());
    EXPECT_TRUE(m_Host.m_Messages.empty());
    EXPECT_TRUE(m_pDoc->GetGlyphPixel('A', 0, 0));

    m_Profile.Set("Tx", "FontFileName", "absent.hlf");
    ASSERT_TRUE(m_pDoc->OnNewDocument());
    ASSERT_EQ(m_Host.m_Messages.size(), 1u);
    EXPECT_EQ(m_Host.m_Messages[0], "Can't open font file absent.hlf");
}

TEST_F(DocTest, AFontReplacedByGarbageAFolderOrAPipeNeitherHangsNorStopsTransmitting)
{
    const std::string strFont = PathOf("font.hlf");
    WriteFontOfDiddleAndA(strFont);
    m_Profile.Set("Tx", "FontFileName", strFont);
    CSkrivelDoc& doc = NewDoc();

    std::string strGarbage(30000, '\0');
    for (std::size_t i = 0; i < strGarbage.size(); ++i)
        strGarbage[i] = static_cast<char>(i * 131 % 251);
    std::ofstream(strFont, std::ios::binary | std::ios::trunc) << strGarbage;
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(m_Host.m_Messages.empty()); // any bytes make glyphs
    EXPECT_EQ(doc.GetGlyphPixel(1, 0, 1), strGarbage[84 + 1] != 0);

    std::filesystem::remove(strFont);
    std::filesystem::create_directory(strFont);
    ASSERT_TRUE(doc.OnNewDocument());
    std::filesystem::remove(strFont);
    ASSERT_EQ(::mkfifo(strFont.c_str(), 0600), 0);
    ASSERT_TRUE(doc.OnNewDocument()); // a pipe with no writer must not block the program
    EXPECT_EQ(m_Host.m_Messages, std::vector<std::string>(2, "Can't open font file " + strFont));
    EXPECT_EQ(doc.GetGlyphPixel(1, 0, 1), strGarbage[84 + 1] != 0);

    doc.OnTransmit();
    doc.Tick();
    std::vector<std::uint32_t> items;
    doc.GetQueues().TakeAllTx(items);
    EXPECT_EQ(items.size(), 98u);
}
