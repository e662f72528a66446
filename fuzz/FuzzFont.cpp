// Loads any bytes as a font file: the glyphs must be the bytes, whatever the file's length, unless
// the file blanks every visible character; then it is refused and the glyphs stay.
#include "FuzzSupport.h"

#include "engine/HellFont.h"

namespace
{
// Over a table with every pixel marked, only a whole file whose visible characters (33..255 but
// DEL and the no-break space) are all zero leaves nothing to draw.
bool BlanksAllText(const std::uint8_t* pData, std::size_t nSize)
{
    if (nSize < CHellFont::kFileSize)
        return false;
    for (std::size_t nAt = 33 * CHellFont::kGlyphBytes; nAt < CHellFont::kFileSize; ++nAt)
    {
        const std::size_t nCode = nAt / CHellFont::kGlyphBytes;
        if (pData[nAt] != 0 && nCode != 0x7F && nCode != 0xA0)
            return false;
    }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    CMemoryFile file(pData, nSize);
    CHellFont font;
    font.m_HellFont.fill(0xAA);
    const bool bLoaded = font.Load(file.GetPath());
    if (bLoaded == BlanksAllText(pData, nSize))
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
                    bExpected = bLoaded && nAt < nSize ? pData[nAt] != 0 : true; // else kept
                if (font.GetGlyphPixel(c, k, r) != bExpected)
                    std::abort();
            }
    return 0;
}
