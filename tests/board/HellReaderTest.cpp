#include "BoardTestUtil.h"

#include "board/TextCompare.h"

#include <random>

TEST(HellReader, ReadsACleanPictureAtEveryStartWithinACell)
{
    const CHellReader reader(BundledFont());
    // Starts that leave the text at every row of a column and in every column of a cell.
    for (const std::size_t nLead : {0u, 1u, 13u, 27u, 28u, 100u, 195u})
    {
        const std::vector<CReadCell> cells = reader.Read(PictureOf("CQ CQ DE TEST 0123456789", nLead));
        const std::string strText = CHellReader::TextOf(cells);
        EXPECT_NE(strText.find("CQ CQ DE TEST 0123456789"), std::string::npos) << nLead << ": " << strText;
        ASSERT_FALSE(cells.empty());
        const CReadCell& c = cells.back().m_nCode == '9' ? cells.back() : cells[cells.size() - 2];
        EXPECT_EQ(c.m_nRow, static_cast<int>(nLead % CHellReader::kColumnSamples)) << nLead;
        EXPECT_EQ(c.m_nColumn, static_cast<int>(nLead / CHellReader::kColumnSamples % 7)) << nLead;
        EXPECT_NEAR(c.m_dQuality, 1.0, 0.01);
    }
}

TEST(HellReader, TellsApartTheClosestGlyphsAndTheDiddle)
{
    const std::string strText = "O0Q W8B I1l \x01\x01";
    EXPECT_EQ(CHellReader::TextOf(CHellReader(BundledFont()).Read(PictureOf(strText))), strText);
}

TEST(HellReader, FollowsAStartThatMovesAndKeepsItsPlaceThroughSpaces)
{
    // Two pixels too many in the middle (a board that had to wait for a byte), then a run of spaces.
    std::vector<std::uint8_t> samples = PictureOf("HELLO WORLD");
    const std::vector<std::uint8_t> rest = PictureOf("    AGAIN 73");
    samples.insert(samples.end(), 4, 30);
    samples.insert(samples.end(), rest.begin(), rest.end());
    const std::vector<CReadCell> cells = CHellReader(BundledFont()).Read(samples);
    EXPECT_EQ(CHellReader::TextOf(cells), "HELLO WORLD    AGAIN 73");
    EXPECT_EQ(cells.back().m_nRow, 4);
}

TEST(HellReader, ReadsThroughNoiseAndDimLevels)
{
    std::vector<std::uint8_t> samples = PictureOf("PARIS PARIS PARIS", 50, 120, 60);
    std::mt19937 rng(3);
    std::normal_distribution<double> noise(0.0, 12.0);
    for (std::uint8_t& n : samples)
        n = static_cast<std::uint8_t>(std::clamp(n + noise(rng), 0.0, 255.0));
    EXPECT_EQ(CHellReader::TextOf(CHellReader(BundledFont()).Read(samples)), "PARIS PARIS PARIS");
}

TEST(HellReader, GivesNothingForLessThanACell)
{
    EXPECT_TRUE(CHellReader(BundledFont()).Read(std::vector<std::uint8_t>(195, 100)).empty());
    EXPECT_TRUE(CHellReader(BundledFont()).Read({}).empty());
}

TEST(TextCompare, CountsEditsAgainstTheBestStretchOfTheSentText)
{
    EXPECT_EQ(TextCompare::CountErrors("CQ DE", "XX CQ DE YY"), 0);
    EXPECT_EQ(TextCompare::CountErrors("CQ DF", "XX CQ DE YY"), 1);  // a wrong character
    EXPECT_EQ(TextCompare::CountErrors("CQDE", "XX CQ DE YY"), 1);   // one missing
    EXPECT_EQ(TextCompare::CountErrors("CQ  DE", "XX CQ DE YY"), 1); // one too many
    EXPECT_EQ(TextCompare::CountErrors("", "ABC"), 0);
    EXPECT_EQ(TextCompare::CountErrors("ABC", ""), 3);
}
