#include "board/HellReader.h"

#include "engine/HellFont.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

namespace
{
// A cell's start is chosen by the fit of this many cells either side of it, then refined by the
// cell's own fit this many samples either way.
constexpr int kWindowCells = 6;
constexpr int kRefineSamples = 1;
// The blank and the marked level of each cell are first taken from the spread of the samples of
// the cells next to it (few, to follow fading), then from the glyphs read in a wider window
// (more samples, less noise).
constexpr int kLevelCells = 1;
constexpr int kReadLevelCells = 3;
constexpr double kBlankQuantile = 0.4;
constexpr double kMarkQuantile = 0.93;
// Levels taken from the cells read need at least this many samples of marks and of blanks.
constexpr double kMinMarkSamples = 100;

double Quantile(std::vector<double>& values, double dQ)
{
    const auto n = static_cast<std::size_t>(dQ * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(n), values.end());
    return values[n];
}
} // namespace

// The samples less the level half-way between blank and marked, summed from the start, so that a
// glyph's score at any start is a few differences; and for each cell-sized block, half the height
// of a mark above blank. The levels come first from the spread of the samples around each block,
// then from the cells read with them.
struct CHellReader::CPicture
{
    explicit CPicture(std::span<const std::uint8_t> samples) : m_Samples(samples)
    {
        const std::size_t n = samples.size();
        const std::size_t nBlocks = (n + kCellSamples - 1) / kCellSamples;
        std::vector<double> blank(nBlocks);
        std::vector<double> mark(nBlocks);
        std::vector<double> window;
        for (std::size_t c = 0; c < nBlocks; ++c)
        {
            const std::size_t nFrom = c > kLevelCells ? (c - kLevelCells) * kCellSamples : 0;
            const std::size_t nTo = std::min(n, (c + kLevelCells + 1) * kCellSamples);
            window.assign(samples.begin() + static_cast<std::ptrdiff_t>(nFrom),
                          samples.begin() + static_cast<std::ptrdiff_t>(nTo));
            blank[c] = Quantile(window, kBlankQuantile);
            mark[c] = Quantile(window, kMarkQuantile);
        }
        SetLevels(blank, mark);
        m_nLastStart = static_cast<std::int64_t>(n) - kCellSamples;
    }

    void SetLevels(const std::vector<double>& blank, const std::vector<double>& mark)
    {
        m_Blank = blank;
        m_Mark = mark;
        m_Prefix.assign(m_Samples.size() + 1, 0.0);
        m_HalfContrast.assign(blank.size(), 0.0);
        for (std::size_t c = 0; c < blank.size(); ++c)
        {
            const double dMid = (blank[c] + mark[c]) / 2;
            m_HalfContrast[c] = std::max(1.0, (mark[c] - blank[c]) / 2);
            const std::size_t nEnd = std::min(m_Samples.size(), (c + 1) * kCellSamples);
            for (std::size_t i = c * kCellSamples; i < nEnd; ++i)
                m_Prefix[i + 1] = m_Prefix[i] + (m_Samples[i] - dMid);
        }
    }

    double HalfContrastAt(std::int64_t nStart) const
    {
        return m_HalfContrast[static_cast<std::size_t>(std::max<std::int64_t>(0, nStart) / kCellSamples)];
    }

    std::span<const std::uint8_t> m_Samples;
    std::vector<double> m_Blank; // the levels of each block
    std::vector<double> m_Mark;
    std::vector<double> m_Prefix;
    std::vector<double> m_HalfContrast;
    std::int64_t m_nLastStart = 0; // the last sample a whole cell can start at
};

std::string CHellReader::UpperCaseCodes()
{
    std::string strCodes;
    for (char c = 33; c < 127; ++c)
        if (c < 'a' || c > 'z')
            strCodes += c;
    return strCodes + '\x01';
}

CHellReader::CHellReader(const CHellFont& font, std::string_view strCodes)
{
    // Every distinct non-blank picture once, under the first code that draws it: printable
    // ASCII first, then the diddle, then the upper half.
    std::vector<int> codes;
    for (int c = 33; c < 127; ++c)
        codes.push_back(c);
    codes.push_back(1);
    for (int c = 128; c < CHellFont::kGlyphs; ++c)
        codes.push_back(c);
    if (!strCodes.empty())
        std::erase_if(codes, [strCodes](int c)
                      { return strCodes.find(static_cast<char>(c)) == std::string_view::npos; });
    std::set<std::vector<bool>> seen;
    for (const int nCode : codes)
    {
        std::vector<bool> picture;
        CGlyph glyph;
        glyph.m_nCode = nCode;
        for (int k = 0; k < CHellFont::kGlyphWidth; ++k)
            for (int r = 0; r < CHellFont::kRows; ++r)
            {
                const bool bMarked = font.GetGlyphPixel(nCode, k, r);
                picture.push_back(bMarked);
                if (!bMarked)
                    continue;
                const int nStart = k * kColumnSamples + r * kSamplesPerPixel;
                if (!glyph.m_Runs.empty() && glyph.m_Runs.back().first + glyph.m_Runs.back().second == nStart)
                    glyph.m_Runs.back().second += kSamplesPerPixel;
                else
                    glyph.m_Runs.emplace_back(nStart, kSamplesPerPixel);
                glyph.m_nMarked += kSamplesPerPixel;
            }
        if (glyph.m_nMarked == 0 || !seen.insert(picture).second)
            continue;
        glyph.m_Picture = std::move(picture);
        m_GlyphOfCode[static_cast<std::size_t>(nCode)] = m_Glyphs.size();
        m_Glyphs.push_back(std::move(glyph));
    }
}

double CHellReader::Score(const CGlyph& glyph, const std::vector<double>& prefix, std::int64_t nStart) const
{
    double dSum = 0.0;
    for (const auto& [nOffset, nLength] : glyph.m_Runs)
    {
        const auto i = static_cast<std::size_t>(nStart + nOffset);
        dSum += prefix[i + static_cast<std::size_t>(nLength)] - prefix[i];
    }
    return dSum;
}

CHellReader::CMatch CHellReader::BestAt(const std::vector<double>& prefix, std::int64_t nStart) const
{
    // A blank cell scores 0: a glyph that fits worse than blank is no better than a space.
    CMatch best;
    for (const CGlyph& glyph : m_Glyphs)
    {
        const double dScore = Score(glyph, prefix, nStart);
        if (dScore > best.m_dScore)
            best = {&glyph, dScore};
    }
    return best;
}

std::vector<CReadCell> CHellReader::Read(std::span<const std::uint8_t> samples) const
{
    CPicture picture(samples);
    const std::vector<CReadCell> first = ReadPass(picture);
    // Read again with the blank and mark levels that the cells read show, which noise biases less
    // than the spread of the samples does.
    const std::size_t nBlocks = picture.m_HalfContrast.size();
    std::vector<double> sums[2] = {std::vector<double>(nBlocks), std::vector<double>(nBlocks)};
    std::vector<double> counts[2] = {std::vector<double>(nBlocks), std::vector<double>(nBlocks)};
    for (const CReadCell& cell : first)
    {
        const std::int64_t nStart = std::lround(cell.m_dStart);
        if (cell.m_nCode == ' ' || nStart < 0 || nStart > picture.m_nLastStart)
            continue;
        const std::vector<bool>& picture_ =
            m_Glyphs[m_GlyphOfCode[static_cast<unsigned char>(cell.m_nCode)]].m_Picture;
        const auto nBlock = static_cast<std::size_t>(nStart / kCellSamples);
        for (int s = 0; s < kCellSamples; ++s)
        {
            const bool bMarked = picture_[static_cast<std::size_t>(s / kSamplesPerPixel)];
            sums[bMarked][nBlock] += samples[static_cast<std::size_t>(nStart + s)];
            counts[bMarked][nBlock] += 1;
        }
    }
    std::vector<double> blank = picture.m_Blank;
    std::vector<double> mark = picture.m_Mark;
    for (std::size_t c = 0; c < nBlocks; ++c)
    {
        const std::size_t nFrom = c > kReadLevelCells ? c - kReadLevelCells : 0;
        const std::size_t nTo = std::min(nBlocks, c + kReadLevelCells + 1);
        double dSum[2] = {0, 0};
        double dCount[2] = {0, 0};
        for (std::size_t k = nFrom; k < nTo; ++k)
            for (int m = 0; m < 2; ++m)
            {
                dSum[m] += sums[m][k];
                dCount[m] += counts[m][k];
            }
        // With too few marks nearby to tell, the levels from the spread stand.
        if (dCount[1] < kMinMarkSamples || dCount[0] < kMinMarkSamples)
            continue;
        blank[c] = dSum[0] / dCount[0];
        mark[c] = dSum[1] / dCount[1];
    }
    picture.SetLevels(blank, mark);
    return ReadPass(picture);
}

std::vector<CReadCell> CHellReader::ReadPass(const CPicture& picture) const
{
    std::vector<CReadCell> cells;
    const std::int64_t nLastStart = picture.m_nLastStart;
    if (nLastStart < 0)
        return cells;
    // The best glyph at every start, once.
    std::vector<CMatch> best(static_cast<std::size_t>(nLastStart + 1));
    for (std::int64_t s = 0; s <= nLastStart; ++s)
        best[static_cast<std::size_t>(s)] = BestAt(picture.m_Prefix, s);
    const auto windowFit = [&](std::int64_t nStart)
    {
        double dSum = 0.0;
        for (int j = -kWindowCells; j <= kWindowCells; ++j)
        {
            const std::int64_t s = nStart + j * kCellSamples;
            if (s >= 0 && s <= nLastStart)
                dSum += best[static_cast<std::size_t>(s)].m_dScore;
        }
        return dSum;
    };
    const auto scoreAt = [&](const CGlyph& glyph, std::int64_t s)
    { return s >= 0 && s <= nLastStart ? Score(glyph, picture.m_Prefix, s) : 0.0; };

    std::int64_t nExpected = kCellSamples / 2; // where the next cell should start, half a cell either way
    while (nExpected - kCellSamples / 2 <= nLastStart)
    {
        std::int64_t nPlace = -1;
        double dPlaceFit = -1.0;
        for (std::int64_t s = std::max<std::int64_t>(0, nExpected - kCellSamples / 2);
             s < nExpected + kCellSamples / 2 && s <= nLastStart; ++s)
            if (const double dFit = windowFit(s); dFit > dPlaceFit)
                std::tie(nPlace, dPlaceFit) = std::pair(s, dFit);
        if (nPlace < 0)
            break;
        std::int64_t nStart = nPlace;
        for (std::int64_t s = std::max<std::int64_t>(0, nPlace - kRefineSamples);
             s <= std::min(nLastStart, nPlace + kRefineSamples); ++s)
            if (best[static_cast<std::size_t>(s)].m_dScore > best[static_cast<std::size_t>(nStart)].m_dScore)
                nStart = s;
        const CMatch& match = best[static_cast<std::size_t>(nStart)];

        CReadCell cell;
        cell.m_dStart = static_cast<double>(nStart);
        cell.m_nRow = static_cast<int>(nStart % kColumnSamples);
        cell.m_nColumn = static_cast<int>(nStart / kColumnSamples % CHellFont::kGlyphWidth);
        if (match.m_pGlyph != nullptr)
        {
            cell.m_nCode = match.m_pGlyph->m_nCode;
            cell.m_dQuality = match.m_dScore / (picture.HalfContrastAt(nStart) * match.m_pGlyph->m_nMarked);
            // The peak of a parabola through the scores either side places the start between samples.
            const double dLeft = scoreAt(*match.m_pGlyph, nStart - 1);
            const double dRight = scoreAt(*match.m_pGlyph, nStart + 1);
            const double dCurve = dLeft - 2 * match.m_dScore + dRight;
            if (dCurve < 0)
                cell.m_dStart += std::clamp(0.5 * (dLeft - dRight) / dCurve, -0.5, 0.5);
        }
        cells.push_back(cell);
        nExpected = nStart + kCellSamples;
    }
    return cells;
}

std::string CHellReader::TextOf(const std::vector<CReadCell>& cells)
{
    std::string strText;
    for (const CReadCell& cell : cells)
        strText += static_cast<char>(cell.m_nCode);
    return strText;
}
