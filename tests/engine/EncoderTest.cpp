#include "engine/HellFont.h"
#include "engine/FeldHellEncoder.h"
#include "engine/MorseEncoder.h"
#include "link/TxItems.h"
#include "link/ItemQueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string_view>
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

namespace
{
// International Morse code (ITU-R M.1677-1): the letters, the figures and the signs the encoder
// sends; "*" stands for the error signal, eight dots.
const std::map<int, std::string_view> kItuMorse = {
    {'A', ".-"},     {'B', "-..."},   {'C', "-.-."},    {'D', "-.."},    {'E', "."},      {'F', "..-."},
    {'G', "--."},    {'H', "...."},   {'I', ".."},      {'J', ".---"},   {'K', "-.-"},    {'L', ".-.."},
    {'M', "--"},     {'N', "-."},     {'O', "---"},     {'P', ".--."},   {'Q', "--.-"},   {'R', ".-."},
    {'S', "..."},    {'T', "-"},      {'U', "..-"},     {'V', "...-"},   {'W', ".--"},    {'X', "-..-"},
    {'Y', "-.--"},   {'Z', "--.."},   {'1', ".----"},   {'2', "..---"},  {'3', "...--"},  {'4', "....-"},
    {'5', "....."},  {'6', "-...."},  {'7', "--..."},   {'8', "---.."},  {'9', "----."},  {'0', "-----"},
    {'.', ".-.-.-"}, {',', "--..--"}, {'?', "..--.."},  {'-', "-....-"}, {'/', "-..-."},  {'+', ".-.-."},
    {'*', "........"}};

// The items of a character keyed as pattern: a lead gap of 21 blank items, 14 marked for a dot or
// 42 for a dash, each followed by 14 blank, and a tail gap of 7.
std::vector<std::uint32_t> Keyed(std::string_view pattern)
{
    std::vector<std::uint32_t> items(21, TxItems::kBlank);
    for (const char element : pattern)
    {
        items.insert(items.end(), element == '.' ? 14 : 42, TxItems::kMarked);
        items.insert(items.end(), 14, TxItems::kBlank);
    }
    items.insert(items.end(), 7, TxItems::kBlank);
    return items;
}
} // namespace

TEST(MorseEncoderTest, EveryCodeGoesOutAsTheItuTableHasItAndOthersOnlyAsTheirGaps)
{
    for (int nCode = 0; nCode < 256; ++nCode)
    {
        if (nCode == ' ')
        {
            EXPECT_EQ(Morse(nCode), std::vector<std::uint32_t>(42, TxItems::kBlank)); // the word space
            continue;
        }
        const int nUpper = nCode >= 'a' && nCode <= 'z' ? nCode - 'a' + 'A' : nCode;
        const auto it = kItuMorse.find(nUpper);
        EXPECT_EQ(Runs(Morse(nCode)), Runs(Keyed(it == kItuMorse.end() ? "" : it->second))) << "code " << nCode;
    }
}
