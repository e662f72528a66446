#include "engine/FeldHellEncoder.h"

#include "engine/HellFont.h"
#include "link/TxItems.h"
#include "link/ItemQueue.h"

void FeldHellEncoder::AppendItems(const CHellFont& font, int nCode, CItemQueue& queue)
{
    const int nColumns = font.GetGlyphWidth(nCode);
    for (int k = 0; k < nColumns; ++k)
        for (int r = 0; r < CHellFont::kRows; ++r)
            queue.AddTail(font.GetGlyphPixel(nCode, k, r) ? TxItems::kMarked : TxItems::kBlank);
}
