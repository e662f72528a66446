// Loads any bytes as a font file: the glyphs must be the bytes, whatever the file's length.
#include "FuzzSupport.h"

#include "engine/HellFont.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    CMemoryFile file(pData, nSize);
    CHellFont font;
    font.m_HellFont.fill(0xAA);
    if (!font.Load(file.GetPath()))
        std::abort();
    for (int c = 0; c < CHellFont::kGlyphs; ++c)
        for (int k = 0; k <= CHellFont::kColumns; ++k)
            for (int r = 0; r <= CHellFont::kRows; ++r)
            {
                const int nLookup = (c == 0 || c == 9 || c == 10 || c == 13) ? ' ' : c;
                const std::size_t nAt = static_cast<std::size_t>(nLookup) * CHellFont::kGlyphBytes +
                                        static_cast<std::size_t>(k) * CHellFont::kRows + r;
                bool bExpected = false;
                if (k < CHellFont::kColumns && r < CHellFont::kRows)
                    bExpected = nAt < nSize ? pData[nAt] != 0 : true; // beyond the file: kept
                if (font.GetGlyphPixel(c, k, r) != bExpected)
                    std::abort();
            }
    return 0;
}
