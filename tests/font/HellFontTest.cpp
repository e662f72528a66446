#include "FontScratchTest.h"

#include "engine/HellFont.h"

#include <sys/stat.h>

#include <algorithm>

namespace
{
constexpr std::size_t kSize = 21504; // 256 glyphs of 84 bytes

// Puts the working directory back when a test is done with it.
struct CCwdGuard
{
    std::filesystem::path m_Old = std::filesystem::current_path();
    ~CCwdGuard() { std::filesystem::current_path(m_Old); }
};
} // namespace

using HellFontTest = FontScratchTest;

TEST_F(HellFontTest, LoadReplacesTheBytesTheFileHoldsAndIgnoresTheRest)
{
    for (const std::size_t nFile :
         {kSize, std::size_t{2 * 84 + 5}, kSize + 1000, std::size_t{0}})
    {
        std::string strBytes(nFile, 0);
        for (std::size_t i = 0; i < nFile; ++i)
            strBytes[i] = static_cast<char>(i * 7 + i / 251 + 1);
        CHellFont font;
        font.m_HellFont.fill(0x11);
        ASSERT_TRUE(font.Load(WriteFile("font.hlf", strBytes))) << nFile << " bytes";
        for (std::size_t i = 0; i < kSize; ++i)
            ASSERT_EQ(font.m_HellFont[i], i < nFile ? std::uint8_t(strBytes[i]) : 0x11)
                << nFile << " bytes, byte " << i;
    }
}

TEST_F(HellFontTest, FailedLoadsKeepThePreviousGlyphs)
{
    CHellFont font;
    ASSERT_TRUE(font.Load(WriteFile("good.hlf", std::string(kSize, 1))));
    const auto loaded = font.m_HellFont;

    std::filesystem::create_directories(m_Dir / "dir.hlf");
    ASSERT_EQ(::mkfifo(PathOf("fifo.hlf").c_str(), 0600), 0); // no writer: must not block
    // A whole font of blank glyphs would send every character as nothing.
    std::string strBlankText(kSize, 0);
    for (const int nCode : {1, int{' '}, 0x7F, 0xA0})
        std::fill_n(strBlankText.begin() + nCode * CHellFont::kGlyphBytes, CHellFont::kGlyphBytes, 1);
    std::vector<std::string> paths = {PathOf("missing.hlf"), PathOf("dir.hlf"), PathOf("fifo.hlf"),
                                      WriteFile("blank.hlf", strBlankText)};
    const std::string strLocked = WriteFile("locked.hlf", std::string(kSize, 2));
    ::chmod(strLocked.c_str(), 0);
    if (::access(strLocked.c_str(), R_OK) != 0) // root reads anything
        paths.push_back(strLocked);
    for (const std::string& strPath : paths)
    {
        EXPECT_FALSE(font.Load(strPath)) << strPath;
        EXPECT_EQ(font.m_HellFont, loaded) << strPath;
    }
}

TEST(HellFontLookupTest, ControlCodesAreSpacesAndPixelsOutsideTheGlyphAreBlank)
{
    CHellFont font;
    font.m_HellFont.fill(0x80); // every byte marked, even with its top bit set ...
    std::fill_n(font.m_HellFont.begin() + ' ' * 84, 84, 0);
    font.m_HellFont[' ' * 84 + 2 * 14 + 3] = 1; // ... but one of space
    for (const int nCode : {0, 9, 10, 13})
    {
        EXPECT_TRUE(font.GetGlyphPixel(nCode, 2, 3)) << "code " << nCode;
        EXPECT_FALSE(font.GetGlyphPixel(nCode, 0, 0)) << "code " << nCode;
    }
    EXPECT_TRUE(font.GetGlyphPixel(11, 0, 0)) << "other control codes keep their own glyphs";
    EXPECT_TRUE(font.GetGlyphPixel(255, 5, 13));
    EXPECT_EQ(font.GetGlyphWidth('A'), 7);
    EXPECT_FALSE(font.GetGlyphPixel('A', 6, 0)) << "the seventh column is blank";
    EXPECT_FALSE(font.GetGlyphPixel('A', 0, 14));
    EXPECT_FALSE(font.GetGlyphPixel('A', -1, 0));
    EXPECT_FALSE(font.GetGlyphPixel('A', 0, -1));
    EXPECT_FALSE(font.GetGlyphPixel(256, 0, 0));
}

TEST_F(HellFontTest, BareNameIsLookedForInTheCurrentDirectoryThenEachDataDirectory)
{
    const std::vector<std::string> dirs = {PathOf("first"), PathOf("second"), PathOf("third")};
    std::filesystem::create_directories(m_Dir / "first");
    WriteFile("second/my.hlf", "2");
    WriteFile("third/my.hlf", "3");
    WriteFile("second/sub/my.hlf", "2");
    std::filesystem::create_directories(m_Dir / "cwd" / "my.hlf"); // a directory is no font
    const CCwdGuard cwd;
    std::filesystem::current_path(m_Dir / "cwd");
    EXPECT_EQ(CHellFont::Resolve("my.hlf", dirs), PathOf("second/my.hlf"));

    std::filesystem::remove(m_Dir / "cwd" / "my.hlf");
    WriteFile("cwd/my.hlf", "cwd");
    EXPECT_EQ(CHellFont::Resolve("my.hlf", dirs), "my.hlf");

    // A name with a directory, or one found nowhere, is used as it stands.
    for (const std::string strName : {"sub/my.hlf", "/nowhere/my.hlf", "other.hlf"})
        EXPECT_EQ(CHellFont::Resolve(strName, dirs), strName);
}

TEST_F(HellFontTest, ProgramStartedElsewhereFindsTheFontBesideIt)
{
    const std::vector<std::string> dirs = CHellFont::GetDataDirs();
    const std::filesystem::path exeDir = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    ASSERT_GE(dirs.size(), 3u);
    EXPECT_EQ(std::filesystem::path(dirs[0]), exeDir);
    EXPECT_EQ(std::filesystem::path(dirs[1]).lexically_normal(),
              (exeDir / "../share/skrivel").lexically_normal());
    const CCwdGuard cwd;
    std::filesystem::current_path(m_Dir);
    EXPECT_EQ(CHellFont::Resolve("hellfont.hlf", dirs), (exeDir / "hellfont.hlf").string());
}
