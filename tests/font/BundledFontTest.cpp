#include "doc/HellFont.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

// The font the build generates from res/hellfont.txt, checked for the properties a receiving
// operator relies on: orientation, a common baseline, distinct and complete glyphs, strokes that
// survive noise.
namespace
{
constexpr int kCols = CHellFont::kColumns;
constexpr int kRows = CHellFont::kRows;

// Codes of the Latin-1 letters an operator is likely to type, capital and small.
const std::vector<std::pair<int, int>> kLatin1Pairs = {{0xC4, 0xE4}, {0xD6, 0xF6}, {0xDC, 0xFC},
                                                       {0xC5, 0xE5}, {0xC6, 0xE6}, {0xD8, 0xF8},
                                                       {0xC9, 0xE9}, {0xC8, 0xE8}};
constexpr int kSharpS = 0xDF;

class BundledFontTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_pFont = new CHellFont;
        s_bLoaded = s_pFont->Load(SKRIVEL_BUNDLED_FONT);
    }
    static void TearDownTestSuite()
    {
        delete s_pFont;
        s_pFont = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(s_bLoaded) << "cannot load " << SKRIVEL_BUNDLED_FONT; }

    static bool Px(int nCode, int k, int r) { return s_pFont->GetGlyphPixel(nCode, k, r); }

    static int CountMarked(int nCode)
    {
        int n = 0;
        for (int k = 0; k < kCols; ++k)
            for (int r = 0; r < kRows; ++r)
                n += Px(nCode, k, r);
        return n;
    }
    static int RowCount(int nCode, int r)
    {
        int n = 0;
        for (int k = 0; k < kCols; ++k)
            n += Px(nCode, k, r);
        return n;
    }
    static int LowestRow(int nCode)
    {
        for (int r = 0; r < kRows; ++r)
            if (RowCount(nCode, r) > 0)
                return r;
        return -1;
    }
    static int HighestRow(int nCode)
    {
        for (int r = kRows - 1; r >= 0; --r)
            if (RowCount(nCode, r) > 0)
                return r;
        return -1;
    }
    static bool SameGlyph(int a, int b)
    {
        for (int k = 0; k < kCols; ++k)
            for (int r = 0; r < kRows; ++r)
                if (Px(a, k, r) != Px(b, k, r))
                    return false;
        return true;
    }

    static CHellFont* s_pFont;
    static bool s_bLoaded;
};

CHellFont* BundledFontTest::s_pFont = nullptr;
bool BundledFontTest::s_bLoaded = false;
} // namespace

TEST_F(BundledFontTest, IsExactlyOneGlyphTable)
{
    EXPECT_EQ(std::filesystem::file_size(SKRIVEL_BUNDLED_FONT), CHellFont::kFileSize);
}

TEST_F(BundledFontTest, RowThirteenIsTopAndColumnZeroIsLeft)
{
    // "T": a full bar on its top rows, a narrow stem at the bottom.
    const int nTTop = HighestRow('T');
    EXPECT_EQ(RowCount('T', nTTop), kCols);
    EXPECT_LE(RowCount('T', LowestRow('T')), 2);
    // "L": the foot on its bottom rows, the stem on the left.
    EXPECT_EQ(RowCount('L', LowestRow('L')), kCols);
    EXPECT_LE(RowCount('L', HighestRow('L')), 2);
    EXPECT_TRUE(Px('L', 0, HighestRow('L')));
    EXPECT_FALSE(Px('L', kCols - 1, HighestRow('L')));
    // "b" and "d" are mirror images, the bowl of "b" to the right of its stem.
    for (int k = 0; k < kCols; ++k)
        for (int r = 0; r < kRows; ++r)
            ASSERT_EQ(Px('b', k, r), Px('d', kCols - 1 - k, r)) << "column " << k << " row " << r;
    EXPECT_TRUE(Px('b', 0, HighestRow('b')));
}

TEST_F(BundledFontTest, LettersShareOneBaselineAndDescendersGoBelowIt)
{
    const int nBaseline = LowestRow('o');
    const int nCapTop = HighestRow('H');
    const std::string strDescenders = "gjpqy";
    for (int c = 'A'; c <= 'Z'; ++c)
    {
        EXPECT_EQ(LowestRow(c), nBaseline) << char(c);
        EXPECT_EQ(HighestRow(c), nCapTop) << char(c);
    }
    for (int c = '0'; c <= '9'; ++c)
        EXPECT_EQ(LowestRow(c), nBaseline) << char(c);
    for (int c = 'a'; c <= 'z'; ++c)
    {
        if (strDescenders.find(char(c)) == std::string::npos)
            EXPECT_EQ(LowestRow(c), nBaseline) << char(c);
        else
            EXPECT_LT(LowestRow(c), nBaseline) << char(c);
    }
    EXPECT_LT(HighestRow('o'), HighestRow('b')) << "ascenders rise above the lower-case body";
}

TEST_F(BundledFontTest, SpaceIsBlankAndEveryPrintableCodeIsDrawn)
{
    EXPECT_EQ(CountMarked(' '), 0);
    EXPECT_GT(CountMarked(1), 0) << "the diddle";
    for (int c = 33; c <= 126; ++c)
        EXPECT_GT(CountMarked(c), 0) << "code " << c;
    EXPECT_EQ(CountMarked(127), 0);
}

TEST_F(BundledFontTest, DrawnGlyphsAreAllDifferent)
{
    std::vector<int> codes = {1, kSharpS};
    for (int c = 33; c <= 126; ++c)
        codes.push_back(c);
    for (const auto& [nUpper, nLower] : kLatin1Pairs)
        codes.insert(codes.end(), {nUpper, nLower});
    for (std::size_t i = 0; i < codes.size(); ++i)
        for (std::size_t j = i + 1; j < codes.size(); ++j)
            EXPECT_FALSE(SameGlyph(codes[i], codes[j])) << "codes " << codes[i] << " and " << codes[j];
}

TEST_F(BundledFontTest, LatinOneLettersAreDrawnApartFromTheirBaseLetter)
{
    const std::string strBase = "AOUAAOEE";
    for (std::size_t i = 0; i < kLatin1Pairs.size(); ++i)
    {
        const auto [nUpper, nLower] = kLatin1Pairs[i];
        EXPECT_GT(CountMarked(nUpper), 0) << "code " << nUpper;
        EXPECT_GT(CountMarked(nLower), 0) << "code " << nLower;
        EXPECT_FALSE(SameGlyph(nUpper, strBase[i])) << "code " << nUpper;
        EXPECT_FALSE(SameGlyph(nLower, strBase[i] + ('a' - 'A'))) << "code " << nLower;
    }
    EXPECT_GT(CountMarked(kSharpS), 0);
}

TEST_F(BundledFontTest, StrokesAreTwoRowsThickWithBlankEdgeRows)
{
    for (int c = 0; c < CHellFont::kGlyphs; ++c)
        for (int k = 0; k < kCols; ++k)
        {
            ASSERT_FALSE(Px(c, k, 0)) << "code " << c << " column " << k << " touches the bottom";
            ASSERT_FALSE(Px(c, k, kRows - 1)) << "code " << c << " column " << k << " touches the top";
            for (int r = 1; r < kRows - 1; ++r)
            {
                const bool bRunStarts = Px(c, k, r) && !Px(c, k, r - 1);
                ASSERT_TRUE(!bRunStarts || Px(c, k, r + 1))
                    << "code " << c << " column " << k << ": a lone pixel at row " << r;
            }
        }
}
