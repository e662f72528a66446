#include "board/HellReader.h"

#include "doc/HellFont.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace
{
// How far the start is followed from one cell to the next, and how much of a cell's fitted
// start goes into the next cell's expected start.
constexpr int kTrackSamples = 3;
constexpr double kTrackGain = 0.5;
constexpr double kTrackQuality = 0.5;
// A search fits this many cells; it holds when their mean quality reaches kLockQuality, and is
// given up when the mean quality of the last kLossCells cells falls below kLossQuality.
constexpr int kAcquireCells = 8;
constexpr double kLockQuality = 0.35;
constexpr int kLossCells = 6;
constexpr double kLossQuality = 0.2;
// The blank and the marked level are taken from this many cells around each cell.
constexpr int kLevelCells = 3;
constexpr double kBlankQuantile = 0.4;
constexpr double kMarkQuantile = 0.93;

double Quantile(std::vector<double>& values, double dQ)
{
    const auto n = static_cast<std::size_t>(dQ * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(n), values.end());
    return values[n];
}
} // namespace

// The samples less the level half-way between blank and marked, summed from the start, so that a
// glyph's score at any start is a few differences; and for each cell-sized block, half the height
// of a mark above blank.
struct CHellReader::CPicture
{
    explicit CPicture(std::span<const std::uint8_t> samples)
    {
        const std::size_t n = samples.size();
        const std::size_t nCells = (n + kCellSamples - 1) / kCellSamples;
        m_Prefix.assign(n + 1, 0.0);
        m_HalfContrast.assign(nCells, 0.0);
        std::vector<double> window;
        for (std::size_t c = 0; c < nCells; ++c)
        {
            const std::size_t nFrom = c > kLevelCells ? (c - kLevelCells) * kCellSamples : 0;
            const std::size_t nTo = std::min(n, (c + kLevelCells + 1) * kCellSamples);
            window.assign(samples.begin() + static_cast<std::ptrdiff_t>(nFrom),
                          samples.begin() + static_cast<std::ptrdiff_t>(nTo));
            const double dBlank = Quantile(window, kBlankQuantile);
            const double dMark = Quantile(window, kMarkQuantile);
            const double dMid = (dBlank + dMark) / 2;
            m_HalfContrast[c] = std::max(1.0, (dMark - dBlank) / 2);
            const std::size_t nEnd = std::min(n, (c + 1) * kCellSamples);
            for (std::size_t i = c * kCellSamples; i < nEnd; ++i)
                m_Prefix[i + 1] = m_Prefix[i] + (samples[i] - dMid);
        }
        m_nLastStart = static_cast<std::int64_t>(n) - kCellSamples;
    }

    double HalfContrastAt(std::int64_t nStart) const
    {
        return m_HalfContrast[static_cast<std::size_t>(std::max<std::int64_t>(0, nStart) / kCellSamples)];
    }

    std::vector<double> m_Prefix;
    std::vector<double> m_HalfContrast;
    std::int64_t m_nLastStart = 0; // the last sample a whole cell can start at
};

CHellReader::CHellReader(const CHellFont& font)
{
    // Every distinct non-blank picture once, under the first code that draws it: printable
    // ASCII first, then the diddle, then the upper half.
    std::vector<int> codes;
    for (int c = 33; c < 127; ++c)
        codes.push_back(c);
    codes.push_back(1);
    for (int c = 128; c < CHellFont::kGlyphs; ++c)
        codes.push_back(c);
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
        if (glyph.m_nMarked > 0 && seen.insert(picture).second)
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

CHellReader::CMatch CHellReader::BestAt(const CPicture& picture, std::int64_t nFrom, std::int64_t nTo) const
{
    nFrom = std::max<std::int64_t>(0, nFrom);
    nTo = std::min(picture.m_nLastStart, nTo);
    // A blank cell scores 0: a glyph that fits worse than blank is no better than a space.
    CMatch best{nullptr, std::clamp((nFrom + nTo) / 2, nFrom, nTo), 0.0};
    for (std::int64_t nStart = nFrom; nStart <= nTo; ++nStart)
        for (const CGlyph& glyph : m_Glyphs)
        {
            const double dScore = Score(glyph, picture.m_Prefix, nStart);
            if (dScore > best.m_dScore)
                best = {&glyph, nStart, dScore};
        }
    return best;
}

double CHellReader::Quality(const CPicture& picture, const CMatch& match) const
{
    if (match.m_pGlyph == nullptr)
        return 0.0;
    return match.m_dScore / (picture.HalfContrastAt(match.m_nStart) * match.m_pGlyph->m_nMarked);
}

std::pair<std::int64_t, double> CHellReader::Acquire(const CPicture& picture, std::int64_t nFrom) const
{
    nFrom = std::max<std::int64_t>(0, nFrom);
    std::pair<std::int64_t, double> best{nFrom, -1.0};
    for (std::int64_t nStart = nFrom; nStart < nFrom + kCellSamples; ++nStart)
    {
        double dSum = 0.0;
        int nCells = 0;
        for (std::int64_t nCell = nStart; nCells < kAcquireCells && nCell <= picture.m_nLastStart;
             nCell += kCellSamples, ++nCells)
            dSum += Quality(picture, BestAt(picture, nCell, nCell));
        if (nCells > 0 && dSum / nCells > best.second)
            best = {nStart, dSum / nCells};
    }
    return best;
}

std::vector<CReadCell> CHellReader::Read(std::span<const std::uint8_t> samples) const
{
    std::vector<CReadCell> cells;
    const CPicture picture(samples);
    double dExpected = 0.0; // where the next cell should begin
    bool bLocked = false;
    std::vector<double> recent; // the quality of the last cells while locked
    while (std::lround(dExpected) <= picture.m_nLastStart)
    {
        if (!bLocked)
        {
            const auto [nStart, dQuality] = Acquire(picture, std::lround(dExpected) - kCellSamples / 2);
            dExpected = static_cast<double>(nStart);
            bLocked = dQuality >= kLockQuality;
            recent.clear();
        }
        const std::int64_t nExpected = std::lround(dExpected);
        if (nExpected > picture.m_nLastStart)
            break;
        const CMatch match = BestAt(picture, nExpected - kTrackSamples, nExpected + kTrackSamples);

        CReadCell cell;
        cell.m_nCode = match.m_pGlyph != nullptr ? match.m_pGlyph->m_nCode : ' ';
        cell.m_dQuality = Quality(picture, match);
        cell.m_dStart = static_cast<double>(match.m_nStart);
        if (match.m_pGlyph != nullptr && match.m_nStart > 0 && match.m_nStart < picture.m_nLastStart)
        {
            // The peak of a parabola through the scores either side places the start between samples.
            const double dLeft = Score(*match.m_pGlyph, picture.m_Prefix, match.m_nStart - 1);
            const double dRight = Score(*match.m_pGlyph, picture.m_Prefix, match.m_nStart + 1);
            const double dCurve = dLeft - 2 * match.m_dScore + dRight;
            if (dCurve < 0)
                cell.m_dStart += std::clamp(0.5 * (dLeft - dRight) / dCurve, -0.5, 0.5);
        }
        cell.m_nRow = static_cast<int>(match.m_nStart % kColumnSamples);
        cell.m_nColumn = static_cast<int>(match.m_nStart / kColumnSamples % CHellFont::kGlyphWidth);
        cells.push_back(cell);

        if (cell.m_dQuality >= kTrackQuality)
            dExpected += kTrackGain * (cell.m_dStart - dExpected);
        dExpected += kCellSamples;
        if (!bLocked)
            continue;
        recent.push_back(cell.m_dQuality);
        if (recent.size() > static_cast<std::size_t>(kLossCells))
            recent.erase(recent.begin());
        double dSum = 0.0;
        for (const double d : recent)
            dSum += d;
        if (recent.size() == static_cast<std::size_t>(kLossCells) && dSum / kLossCells < kLossQuality)
            bLocked = false;
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
