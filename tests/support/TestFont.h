#pragma once

#include <fstream>
#include <string>

namespace TestFont
{
// Writes a whole font file (256 glyphs of 84 bytes) of the test's own, so that no test depends
// on a font installed on the machine: glyph c has only column 0, row c % 14 marked; the space
// is blank.
inline void Write(const std::string& strPath)
{
    std::string strBytes(21504, '\0');
    for (int c = 0; c < 256; ++c)
        if (c != ' ')
            strBytes[static_cast<std::size_t>(c * 84 + c % 14)] = 1;
    std::ofstream(strPath, std::ios::binary) << strBytes;
}
} // namespace TestFont
