#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CHellFont;

// One character cell found in a received picture.
struct CReadCell
{
    int m_nCode = ' ';       // the glyph that matches best
    double m_dStart = 0.0;   // the sample where the cell begins, to a fraction of a sample
    int m_nRow = 0;          // its vertical offset in the picture: samples into a column, 0..27
    int m_nColumn = 0;       // its horizontal offset: columns into a 7-column cell, 0..6
    double m_dQuality = 0.0; // how well the glyph fits: 1 for a perfect match, 0 for a blank cell
};

// Reads text back from a received picture: a stream of level bytes, 28 to a column, where every
// character is a cell of 7 columns (196 samples), each font pixel two samples. For each cell it
// finds the glyph of the font that best fits and where the cell starts: the start is the one, within
// half a cell of where the last cell ended, at which the cells around it fit best taken together
// (a weak cell is placed by its neighbours), refined by the cell's own fit a sample either way,
// so that a slanting picture stays in step. The blank and mark levels come from the picture
// around each cell, and then once more from the glyphs read, for a second reading.
class CHellReader
{
public:
    static constexpr int kSamplesPerPixel = 2;
    static constexpr int kColumnSamples = 28;
    static constexpr int kCellSamples = 196;

    // Reads with every distinct glyph of the font, or only those of strCodes when it is given.
    explicit CHellReader(const CHellFont& font, std::string_view strCodes = {});
    // What Skrivel sends with upper case on (its default): printable ASCII without the small
    // letters, and the diddle.
    static std::string UpperCaseCodes();

    std::vector<CReadCell> Read(std::span<const std::uint8_t> samples) const;
    static std::string TextOf(const std::vector<CReadCell>& cells);

private:
    struct CGlyph
    {
        int m_nCode = 0;
        std::vector<std::pair<int, int>> m_Runs; // marked samples: start in the cell, length
        int m_nMarked = 0;                       // marked samples in all
        std::vector<bool> m_Picture;             // the cell's pixels, column by column
    };
    struct CMatch
    {
        const CGlyph* m_pGlyph = nullptr; // null: blank
        double m_dScore = 0.0;
    };
    struct CPicture;

    std::vector<CReadCell> ReadPass(const CPicture& picture) const;
    double Score(const CGlyph& glyph, const std::vector<double>& prefix, std::int64_t nStart) const;
    CMatch BestAt(const std::vector<double>& prefix, std::int64_t nStart) const;

    std::vector<CGlyph> m_Glyphs;
    std::array<std::size_t, 256> m_GlyphOfCode{}; // where a code read back has its glyph
};
