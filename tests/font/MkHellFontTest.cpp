// The font generator, and the font the build makes with it from res/hellfont.txt.

#include "FontScratchTest.h"

#include "engine/HellFont.h"

#include <sys/wait.h>

#include <cstdlib>
#include <iterator>
#include <set>
#include <vector>

namespace
{
// nCount blank picture lines.
std::string Rows(int nCount)
{
    std::string str;
    for (int i = 0; i < nCount; ++i)
        str += "......\n";
    return str;
}

struct SRun
{
    int nExit = -1;
    std::string strError;
};

class MkHellFontTest : public FontScratchTest
{
protected:
    SRun Run(const std::string& strSource, const std::string& strFont)
    {
        const std::string strCmd = std::string("'") + SKRIVEL_MKHELLFONT + "' '" + strSource + "' '" +
                                   strFont + "' 2>'" + PathOf("errors.txt") + "'";
        const int nStatus = std::system(strCmd.c_str());
        std::ifstream in(PathOf("errors.txt"));
        return {WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1, {std::istreambuf_iterator<char>(in), {}}};
    }
    SRun Generate(const std::string& strSource)
    {
        return Run(WriteFile("font.txt", strSource), PathOf("font.hlf"));
    }
};
} // namespace

TEST_F(MkHellFontTest, TopLineIsRowThirteenAndLeftCharacterColumnZero)
{
    const SRun run = Generate("; a comment\n\ncode 65 A\n"
                              "#....#\n" + // row 13
                              Rows(10) +
                              "..#...  \n" // row 2, trailing blanks
                              "......\n"
                              "#.....\r\n" // row 0
                              "code 255 last\n" +
                              Rows(13) + ".....#\n");
    ASSERT_EQ(run.nExit, 0) << run.strError;
    std::ifstream in(PathOf("font.hlf"), std::ios::binary);
    const std::vector<std::uint8_t> font{std::istreambuf_iterator<char>(in), {}};
    std::vector<std::uint8_t> expected(21504, 0);
    for (const int nByte :
         {65 * 84 + 0 * 14 + 13, 65 * 84 + 5 * 14 + 13, 65 * 84 + 2 * 14 + 2, 65 * 84, 255 * 84 + 5 * 14})
        expected[nByte] = 1;
    EXPECT_EQ(font, expected);
}

TEST_F(MkHellFontTest, FaultySourceOrOutputFailsAndNamesTheLine)
{
    const std::string kGlyph = "code 66\n" + Rows(14); // lines 1..15
    const struct
    {
        std::string strSource, strLine, strWhat;
    } cases[] = {
        {kGlyph + "code 67\n......\n.....\n", ":18:", "wide"},
        {kGlyph + "code 67\n......\n.......\n", ":18:", "wide"},
        {kGlyph + "code 67\n" + Rows(12) + "\ncode 68\n", ":16:", "12 rows"},
        {kGlyph + "code 67\n" + Rows(15), ":31:", "more than 14"},
        {kGlyph + "code 67\n" + Rows(13), ":16:", "13 rows"},
        {kGlyph + "\n; again\ncode 66 B\n", ":18:", "duplicate code 66 (first drawn at line 1)"},
        {kGlyph + "code 256\n", ":16:", "out of range"},
        {kGlyph + "code -1\n", ":16:", "out of range"},
        {kGlyph + "code x\n", ":16:", "code N"},
        {kGlyph + "code 67\n..o...\n", ":17:", "'o'"},
        {"##....\n", ":1:", "before the first"},
    };
    for (const auto& c : cases)
    {
        std::filesystem::remove(PathOf("font.hlf"));
        const SRun run = Generate(c.strSource);
        EXPECT_NE(run.nExit, 0) << c.strSource;
        EXPECT_NE(run.strError.find("font.txt" + c.strLine), std::string::npos) << run.strError;
        EXPECT_NE(run.strError.find(c.strWhat), std::string::npos) << run.strError;
        EXPECT_FALSE(std::filesystem::exists(PathOf("font.hlf"))) << "no font from a faulty source";
    }
    EXPECT_NE(Run(PathOf("none.txt"), PathOf("out.hlf")).nExit, 0);
    EXPECT_NE(Run(WriteFile("ok.txt", kGlyph), PathOf("no/such/dir/out.hlf")).nExit, 0);
}

TEST(BundledFontTest, IsOneGlyphTableWithRowThirteenOnTopAndColumnZeroLeft)
{
    EXPECT_EQ(std::filesystem::file_size(SKRIVEL_BUNDLED_FONT), 21504u);
    CHellFont font;
    ASSERT_TRUE(font.Load(SKRIVEL_BUNDLED_FONT));
    const auto rowCount = [&](int nCode, int r)
    {
        int n = 0;
        for (int k = 0; k < CHellFont::kColumns; ++k)
            n += font.GetGlyphPixel(nCode, k, r);
        return n;
    };
    // The lowest and highest marked rows of a glyph.
    const auto rows = [&](int nCode)
    {
        int nLow = CHellFont::kRows, nHigh = -1;
        for (int r = 0; r < CHellFont::kRows; ++r)
            if (rowCount(nCode, r) > 0)
                nLow = std::min(nLow, r), nHigh = r;
        return std::pair{nLow, nHigh};
    };
    // "T": a full bar on top, a narrow stem at the bottom.
    EXPECT_EQ(rowCount('T', rows('T').second), 6);
    EXPECT_LE(rowCount('T', rows('T').first), 2);
    // "L": the foot at the bottom, the stem on the left.
    const auto [nLFoot, nLTop] = rows('L');
    EXPECT_EQ(rowCount('L', nLFoot), 6);
    EXPECT_LE(rowCount('L', nLTop), 2);
    EXPECT_TRUE(font.GetGlyphPixel('L', 0, nLTop));
    // "b" and "d" are mirror images, the stem of "b" on the left.
    for (int k = 0; k < CHellFont::kColumns; ++k)
        for (int r = 0; r < CHellFont::kRows; ++r)
            ASSERT_EQ(font.GetGlyphPixel('b', k, r), font.GetGlyphPixel('d', 5 - k, r)) << k << "/" << r;
    EXPECT_TRUE(font.GetGlyphPixel('b', 0, rows('b').second));
}

TEST(BundledFontTest, SpaceIsBlankAndEveryPrintableCodeHasAGlyphOfItsOwn)
{
    CHellFont font;
    ASSERT_TRUE(font.Load(SKRIVEL_BUNDLED_FONT));
    const auto glyph = [&](int nCode)
    {
        const auto it = font.m_HellFont.begin() + nCode * CHellFont::kGlyphBytes;
        return std::vector<std::uint8_t>(it, it + CHellFont::kGlyphBytes);
    };
    const std::vector<std::uint8_t> blank(CHellFont::kGlyphBytes, 0);
    EXPECT_EQ(glyph(' '), blank);
    std::vector<int> codes = {1,    0xC4, 0xE4, 0xC5, 0xE5, 0xC9,
                              0xE9, 0xD6, 0xF6, 0xDC, 0xFC, 0xDF}; // diddle, Latin-1
    for (int c = 33; c <= 126; ++c)
        codes.push_back(c);
    std::set<std::vector<std::uint8_t>> glyphs;
    for (const int c : codes)
    {
        EXPECT_NE(glyph(c), blank) << "code " << c;
        EXPECT_TRUE(glyphs.insert(glyph(c)).second) << "code " << c << " looks like another";
    }
}
