#pragma once

class CHellFont;
class CItemQueue;

namespace FeldHellEncoder
{
// Appends the keyed items of one character: 7 columns of 14 items, column 0 first and row 0
// first within a column, 6 for a marked pixel and 4 for a blank one.
void AppendItems(const CHellFont& font, int nCode, CItemQueue& queue);
} // namespace FeldHellEncoder
