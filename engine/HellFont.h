#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The Hell font: 256 glyphs of 6 columns by 14 rows, one byte per pixel (zero blank, anything
// else marked), stored column by column. A font file is exactly this table, 21504 bytes.
class CHellFont
{
public:
    static constexpr int kGlyphs = 256;
    static constexpr int kColumns = 6;
    static constexpr int kRows = 14;
    static constexpr int kGlyphBytes = kColumns * kRows;            // 84
    static constexpr std::size_t kFileSize = kGlyphs * kGlyphBytes; // 21504
    static constexpr int kGlyphWidth = 7;                           // six font columns and one blank

    // Reads up to 21504 bytes of the file into the table. A shorter file replaces only the glyphs
    // it covers; a file that cannot be opened or read, or is no regular file, changes nothing and
    // gives false. So does a file that would leave every visible character blank (an empty file
    // loaded first, or one of zeros): text sent with it would go out as nothing at all.
    bool Load(const std::string& strPath);

    // Where a font name points: a name with a directory is used as it stands; a bare name is
    // looked for in the current directory, then in each of dataDirs. When no place has it, the
    // name itself.
    static std::string Resolve(const std::string& strName, const std::vector<std::string>& dataDirs);

    // The program's data directories: beside the executable, and its installed share folder.
    static std::vector<std::string> GetDataDirs();

    int GetGlyphWidth(int /*nCode*/) const { return kGlyphWidth; }
    bool GetGlyphPixel(int nCode, int nColumn, int nRow) const;

    std::array<std::uint8_t, kFileSize> m_HellFont{};
};
