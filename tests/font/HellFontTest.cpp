#include "FontScratchTest.h"

#include "doc/HellFont.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace
{
std::vector<std::uint8_t> Filled(std::size_t nSize, std::uint8_t nValue)
{
    return std::vector<std::uint8_t>(nSize, nValue);
}

std::size_t Index(int nCode, int nColumn, int nRow)
{
    return static_cast<std::size_t>(nCode) * CHellFont::kGlyphBytes + nColumn * CHellFont::kRows + nRow;
}

// Restores the working directory a test changed.
class CCwdGuard
{
public:
    explicit CCwdGuard(const std::filesystem::path& dir) : m_Old(std::filesystem::current_path())
    {
        std::filesystem::current_path(dir);
    }
    ~CCwdGuard() { std::filesystem::current_path(m_Old); }
    CCwdGuard(const CCwdGuard&) = delete;
    CCwdGuard& operator=(const CCwdGuard&) = delete;

private:
    std::filesystem::path m_Old;
};
} // namespace

using HellFontLoadTest = FontScratchTest;

TEST_F(HellFontLoadTest, FullFileReplacesTheWholeTable)
{
    std::vector<std::uint8_t> bytes(CHellFont::kFileSize);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    CHellFont font;
    font.m_HellFont.fill(0xAA);
    ASSERT_TRUE(font.Load(WriteFile("full.hlf", bytes)));
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), font.m_HellFont.begin()));
}

TEST_F(HellFontLoadTest, FailedLoadsKeepThePreviousGlyphs)
{
    CHellFont font;
    EXPECT_FALSE(font.Load(PathOf("missing.hlf")));
    EXPECT_TRUE(std::all_of(font.m_HellFont.begin(), font.m_HellFont.end(), [](auto b) { return b == 0; }))
        << "a font never loaded is blank";

    ASSERT_TRUE(font.Load(WriteFile("good.hlf", Filled(CHellFont::kFileSize, 1))));
    const auto loaded = font.m_HellFont;

    EXPECT_FALSE(font.Load(PathOf("missing.hlf")));
    EXPECT_EQ(font.m_HellFont, loaded);

    std::filesystem::create_directories(m_Dir / "dir.hlf");
    EXPECT_FALSE(font.Load(PathOf("dir.hlf")));
    EXPECT_EQ(font.m_HellFont, loaded);

    // A FIFO with no writer must be refused at once rather than block the caller.
    ASSERT_EQ(::mkfifo(PathOf("fifo.hlf").c_str(), 0600), 0);
    EXPECT_FALSE(font.Load(PathOf("fifo.hlf")));
    EXPECT_EQ(font.m_HellFont, loaded);

    const std::string strLocked = WriteFile("locked.hlf", Filled(CHellFont::kFileSize, 2));
    ::chmod(strLocked.c_str(), 0);
    if (::access(strLocked.c_str(), R_OK) != 0) // root reads anything
    {
        EXPECT_FALSE(font.Load(strLocked));
        EXPECT_EQ(font.m_HellFont, loaded);
    }
}

TEST_F(HellFontLoadTest, ShortFileReplacesOnlyTheBytesItHolds)
{
    CHellFont font;
    font.m_HellFont.fill(0x11);
    const std::size_t nShort = 2 * CHellFont::kGlyphBytes + 5; // two glyphs and part of a third
    ASSERT_TRUE(font.Load(WriteFile("short.hlf", Filled(nShort, 0xEE))));
    for (std::size_t i = 0; i < CHellFont::kFileSize; ++i)
        ASSERT_EQ(font.m_HellFont[i], i < nShort ? 0xEE : 0x11) << "byte " << i;

    ASSERT_TRUE(font.Load(WriteFile("empty.hlf", {})));
    EXPECT_EQ(font.m_HellFont[0], 0xEE);
}

TEST_F(HellFontLoadTest, LongFileExcessIsIgnored)
{
    std::vector<std::uint8_t> bytes = Filled(CHellFont::kFileSize, 3);
    bytes.resize(CHellFont::kFileSize + 1000, 9);
    CHellFont font;
    ASSERT_TRUE(font.Load(WriteFile("long.hlf", bytes)));
    EXPECT_TRUE(std::all_of(font.m_HellFont.begin(), font.m_HellFont.end(), [](auto b) { return b == 3; }));
}

TEST(HellFontLookupTest, EachTableByteIsOnePixelOfOneGlyph)
{
    struct SPixel
    {
        int nCode, nColumn, nRow;
    };
    for (const SPixel p : {SPixel{1, 0, 0}, SPixel{65, 5, 13}, SPixel{65, 0, 13}, SPixel{65, 5, 0},
                           SPixel{128, 2, 7}, SPixel{200, 3, 1}, SPixel{255, 5, 13}})
    {
        CHellFont font;
        font.m_HellFont[Index(p.nCode, p.nColumn, p.nRow)] = 1;
        int nMarked = 0;
        for (int c = 0; c < CHellFont::kGlyphs; ++c)
            for (int k = 0; k <= CHellFont::kGlyphWidth; ++k)
                for (int r = 0; r <= CHellFont::kRows; ++r)
                    if (font.GetGlyphPixel(c, k, r))
                    {
                        ++nMarked;
                        EXPECT_TRUE(c == p.nCode && k == p.nColumn && r == p.nRow)
                            << "set " << p.nCode << "/" << p.nColumn << "/" << p.nRow << ", found " << c
                            << "/" << k << "/" << r;
                    }
        EXPECT_EQ(nMarked, 1) << "code " << p.nCode;
    }
}

TEST(HellFontLookupTest, ControlCodesLookLikeSpaceEverywhere)
{
    CHellFont font;
    for (std::size_t i = 0; i < CHellFont::kFileSize; ++i)
        font.m_HellFont[i] = 1; // every glyph fully marked ...
    for (int k = 0; k < CHellFont::kColumns; ++k)
        for (int r = 0; r < CHellFont::kRows; ++r)
            font.m_HellFont[Index(' ', k, r)] = (k + r) % 2; // ... except a checkered space
    for (const int nCode : {0, 9, 10, 13})
        for (int k = 0; k < CHellFont::kGlyphWidth; ++k)
            for (int r = 0; r < CHellFont::kRows; ++r)
                ASSERT_EQ(font.GetGlyphPixel(nCode, k, r), font.GetGlyphPixel(' ', k, r))
                    << "code " << nCode << " column " << k << " row " << r;
    EXPECT_TRUE(font.GetGlyphPixel(11, 0, 0)) << "other control codes keep their own glyphs";
    EXPECT_TRUE(font.GetGlyphPixel(1, 0, 0));
}

TEST(HellFontLookupTest, SeventhColumnAndRowsPastTheGlyphAreBlank)
{
    CHellFont font;
    font.m_HellFont.fill(1);
    for (int c = 0; c < CHellFont::kGlyphs; ++c)
    {
        ASSERT_EQ(font.GetGlyphWidth(c), 7);
        for (int r = 0; r < CHellFont::kRows; ++r)
        {
            ASSERT_TRUE(font.GetGlyphPixel(c, 5, r));
            ASSERT_FALSE(font.GetGlyphPixel(c, 6, r)) << "code " << c << " row " << r;
        }
        for (int k = 0; k < CHellFont::kGlyphWidth; ++k)
            ASSERT_FALSE(font.GetGlyphPixel(c, k, 14)) << "code " << c << " column " << k;
    }
    EXPECT_FALSE(font.GetGlyphPixel(65, -1, 0));
    EXPECT_FALSE(font.GetGlyphPixel(65, 0, -1));
    EXPECT_FALSE(font.GetGlyphPixel(256, 0, 0));
}

TEST(HellFontLookupTest, AnyNonZeroByteIsMarked)
{
    CHellFont font;
    const std::uint8_t values[] = {1, 2, 0x7F, 0x80, 0xFF};
    for (int i = 0; i < 5; ++i)
        font.m_HellFont[Index('A', i, 0)] = values[i];
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(font.GetGlyphPixel('A', i, 0)) << "byte value " << int(values[i]);
    EXPECT_FALSE(font.GetGlyphPixel('A', 5, 0));
}

using HellFontResolveTest = FontScratchTest;

TEST_F(HellFontResolveTest, BareNameInTheCurrentDirectoryComesFirst)
{
    WriteText("hellfont.hlf", "cwd");
    const std::string strData = WriteText("data/hellfont.hlf", "data");
    const CCwdGuard cwd(m_Dir);
    EXPECT_EQ(CHellFont::Resolve("hellfont.hlf", {PathOf("data")}), "hellfont.hlf");
    ASSERT_TRUE(std::filesystem::remove("hellfont.hlf"));
    EXPECT_EQ(CHellFont::Resolve("hellfont.hlf", {PathOf("data")}), strData);
}

TEST_F(HellFontResolveTest, BareNameTakesTheFirstDataDirectoryThatHasIt)
{
    const std::string strSecond = WriteText("second/my.hlf", "2");
    WriteText("third/my.hlf", "3");
    std::filesystem::create_directories(m_Dir / "cwd" / "my.hlf"); // a directory is no font
    std::filesystem::create_directories(m_Dir / "first");
    const CCwdGuard cwd(m_Dir / "cwd");
    EXPECT_EQ(CHellFont::Resolve("my.hlf", {PathOf("first"), PathOf("second"), PathOf("third")}), strSecond);
}

TEST_F(HellFontResolveTest, NameWithADirectoryOrFoundNowhereIsUsedAsItStands)
{
    WriteText("data/my.hlf", "data");
    const CCwdGuard cwd(m_Dir);
    const std::vector<std::string> dirs = {PathOf("data")};
    EXPECT_EQ(CHellFont::Resolve("sub/my.hlf", dirs), "sub/my.hlf");
    EXPECT_EQ(CHellFont::Resolve("./my.hlf", dirs), "./my.hlf");
    EXPECT_EQ(CHellFont::Resolve("/nowhere/my.hlf", dirs), "/nowhere/my.hlf");
    EXPECT_EQ(CHellFont::Resolve("other.hlf", dirs), "other.hlf");
    EXPECT_EQ(CHellFont::Resolve("other.hlf", {}), "other.hlf");
}

TEST_F(HellFontResolveTest, DataDirectoriesStartBesideTheExecutable)
{
    const std::vector<std::string> dirs = CHellFont::GetDataDirs();
    const std::filesystem::path exeDir = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    ASSERT_GE(dirs.size(), 3u);
    EXPECT_EQ(std::filesystem::path(dirs[0]), exeDir);
    EXPECT_EQ(std::filesystem::path(dirs[1]).lexically_normal(),
              (exeDir / "../share/skrivel").lexically_normal());

    // Started elsewhere, the program still finds the font generated beside it.
    const CCwdGuard cwd(m_Dir);
    EXPECT_EQ(CHellFont::Resolve("hellfont.hlf", dirs), (exeDir / "hellfont.hlf").string());
}
