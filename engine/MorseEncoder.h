#pragma once

class CItemQueue;

namespace MorseEncoder
{
// Appends the keyed items of one character (lower case as upper case): a lead gap of 21 blank
// items, each element (14 marked items for a dot, 42 for a dash) followed by 14 blank, a tail gap
// of 7, and 14 more for a space. A code without Morse sends only the gaps.
void AppendItems(int nCode, CItemQueue& queue);
} // namespace MorseEncoder
