#pragma once

#include <string>

class CItemQueue;

namespace MorseEncoder
{
// The dots and dashes of a character code (lower case as upper case); empty when it has none.
void GetMorseCode(int nCode, std::string& strPattern);

// Appends the keyed items of one character: a lead gap of 21 blank items, each element (14 marked
// items for a dot, 42 for a dash) followed by 14 blank, a tail gap of 7, and 14 more for a space.
void AppendItems(int nCode, CItemQueue& queue);
} // namespace MorseEncoder
