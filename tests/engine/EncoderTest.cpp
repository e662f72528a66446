#include "engine/HellFont.h"
#include "engine/FeldHellEncoder.h"
#include "engine/MorseEncoder.h"
#include "link/TxItems.h"
#include "link/ItemQueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace
{
std::vector<std::uint32_t> Drain(CItemQueue& queue)
{
    std::vector<std::uint32_t> items;
    queue.RemoveAll(items);
    return items;
}

std::vector<std::uint32_t> FeldHell(const CHellFont& font, int nCode)
{
    CItemQueue queue;
    FeldHellEncoder::AppendItems(font, nCode, queue);
    return Drain(queue);
}

std::vector<std::uint32_t> Morse(int nCode)
{
    CItemQueue queue;
    MorseEncoder::AppendItems(nCode, queue);
    return Drain(queue);
}

// Runs of equal items, as (value, length).
std::vector<std::pair<std::uint32_t, int>> Runs(const std::vector<std::uint32_t>& items)
{
    std::vector<std::pair<std::uint32_t, int>> runs;
    for (const std::uint32_t nItem : items)
        if (!runs.empty() && runs.back().first == nItem)
            ++runs.back().second;
        else
            runs.push_back({nItem, 1});
    return runs;
}
} // namespace

TEST(FeldHellEncoderTest, SendsSevenColumnsOfFourteenRowZeroFirstWithABlankSeventhColumn)
{
    CHellFont font;
    EXPECT_EQ(FeldHell(font, 'A'), std::vector<std::uint32_t>(98, TxItems::kBlank));

    std::fill_n(font.m_HellFont.begin() + 'M' * 84, 84, 0xFF);
    const std::vector<std::uint32_t> full = FeldHell(font, 'M');
    EXPECT_EQ(Runs(full), (std::vector<std::pair<std::uint32_t, int>>{{6, 84}, {4, 14}}));

    font.m_HellFont[1 * 84 + 2 * 14 + 3] = 1; // code 1, column 2, row 3
    const std::vector<std::uint32_t> one = FeldHell(font, 1);
    for (int i = 0; i < 98; ++i)
        EXPECT_EQ(one[i], i == 2 * 14 + 3 ? TxItems::kMarked : TxItems::kBlank) << i;

    // Line control codes look like a space; high codes use their own glyphs.
    font.m_HellFont[' ' * 84 + 5] = 1;
    font.m_HellFont[200 * 84 + 70] = 1;
    for (const int nCode : {0, 9, 10, 13})
        EXPECT_EQ(FeldHell(font, nCode), FeldHell(font, ' ')) << nCode;
    EXPECT_EQ(FeldHell(font, 200)[70], TxItems::kMarked);
}

TEST(MorseEncoderTest, ElementsAndGapsHaveTheirLengths)
{
    using Run = std::pair<std::uint32_t, int>;
    EXPECT_EQ(Runs(Morse('E')), (std::vector<Run>{{4, 21}, {6, 14}, {4, 21}}));
    EXPECT_EQ(Runs(Morse('T')), (std::vector<Run>{{4, 21}, {6, 42}, {4, 21}}));
    EXPECT_EQ(Runs(Morse('A')), (std::vector<Run>{{4, 21}, {6, 14}, {4, 14}, {6, 42}, {4, 21}}));
    EXPECT_EQ(Morse(' '), std::vector<std::uint32_t>(42, TxItems::kBlank));
    EXPECT_EQ(Morse('!'), std::vector<std::uint32_t>(28, TxItems::kBlank));
    EXPECT_EQ(Morse(13), std::vector<std::uint32_t>(28, TxItems::kBlank));
    EXPECT_EQ(Morse('a'), Morse('A'));
    EXPECT_EQ(Morse('*').size(), 252u);
    EXPECT_EQ(Morse('0').size(), 308u);
    EXPECT_EQ(Morse(',').size(), 308u);
}

TEST(MorseEncoderTest, PatternsOfLettersDigitsAndSigns)
{
    const std::pair<int, const char*> cases[] = {
        {'S', "..."},    {'o', "---"},      {'Q', "--.-"},   {'Y', "-.--"},  {'9', "----."},
        {'1', ".----"},  {'/', "-..-."},    {'?', "..--.."}, {'+', ".-.-."}, {'.', ".-.-.-"},
        {'-', "-....-"}, {'*', "........"}, {'!', ""},       {200, ""}};
    for (const auto& [nCode, pszPattern] : cases)
    {
        std::string strPattern = "stale";
        MorseEncoder::GetMorseCode(nCode, strPattern);
        EXPECT_EQ(strPattern, pszPattern) << nCode;
    }
}
