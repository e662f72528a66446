#include "engine/MorseEncoder.h"

#include "engine/AsciiCase.h"
#include "link/TxItems.h"
#include "link/ItemQueue.h"

#include <string_view>

namespace
{
constexpr int kDotItems = TxItems::kColumnItems;
constexpr int kDashItems = 3 * TxItems::kColumnItems;
constexpr int kLeadGapItems = 21;
constexpr int kElementGapItems = 14;
constexpr int kTailGapItems = 7;
constexpr int kWordSpaceItems = 14;

std::string_view PatternOf(int nCode)
{
    // Letters A..Z, then digits 0..9.
    static constexpr std::string_view s_Letters[26] = {
        ".-", "-...", "-.-.", "-..",  ".",   "..-.", "--.", "....", "..",   ".---", "-.-",  ".-..", "--",
        "-.", "---",  ".--.", "--.-", ".-.", "...",  "-",   "..-",  "...-", ".--",  "-..-", "-.--", "--.."};
    static constexpr std::string_view s_Digits[10] = {"-----", ".----", "..---", "...--", "....-",
                                                      ".....", "-....", "--...", "---..", "----."};
    const int c = AsciiCase::ToUpper(nCode);
    if (c >= 'A' && c <= 'Z')
        return s_Letters[c - 'A'];
    if (c >= '0' && c <= '9')
        return s_Digits[c - '0'];
    switch (c)
    {
    case '/':
        return "-..-.";
    case '?':
        return "..--..";
    case '+':
        return ".-.-.";
    case '.':
        return ".-.-.-";
    case ',':
        return "--..--";
    case '-':
        return "-....-";
    case '*':
        return "........";
    default:
        return {};
    }
}
} // namespace

void MorseEncoder::AppendItems(int nCode, CItemQueue& queue)
{
    queue.AddTail(TxItems::kBlank, kLeadGapItems);
    for (const char element : PatternOf(nCode))
    {
        queue.AddTail(TxItems::kMarked, element == '.' ? kDotItems : kDashItems);
        queue.AddTail(TxItems::kBlank, kElementGapItems);
    }
    queue.AddTail(TxItems::kBlank, kTailGapItems);
    if (nCode == ' ')
        queue.AddTail(TxItems::kBlank, kWordSpaceItems);
}
