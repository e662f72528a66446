#include "ui/RxPicture.h"

#include "engine/RxStore.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
// Geometry of the unzoomed picture, in pixels.
constexpr int kRows = CRxStore::kRowsPerColumn;     // 28
constexpr int kColumns = CRxStore::kColumnsPerPage; // 245
constexpr int kBandHeight = CRxPicture::kBandHeight; // 245 columns, drawn twice
constexpr int kMargin = 4;                          // left and top of every band, bottom of the picture
constexpr int kColumnWidth = 3;                     // every column is 3 pixels wide
constexpr int kPictureWidth = 746;                  // 245 columns, one column of shift, margins
constexpr int kLastLowerPixel = kBandHeight - 1;    // 59: last row of a lower copy within its band
constexpr int kFootprint = 2 * kColumnWidth;        // a column and its shifted copy side by side
constexpr double kPerMillion = 1e-6;

template <class T> T FloorDiv(T n, T d)
{
    return n >= 0 ? n / d : -((-n + d - 1) / d);
}

template <class T> T CeilDiv(T n, T d)
{
    return -FloorDiv(-n, d);
}

int BandsOf(std::int64_t nColumns)
{
    return static_cast<int>((nColumns + kColumns - 1) / kColumns);
}

// The grey painted for each level: reversed for black on white, then contrast about mid-grey
// (a factor of 1/4 to 4) and brightness (up to the whole range either way) as on a screen.
std::array<std::uint8_t, 256> MakeLevels(bool bReverse, int nBrightness, int nContrast)
{
    constexpr double kMid = 127.5;
    const double dGain = std::exp2(nContrast / 50.0);
    const double dOffset = nBrightness * 255 / 100.0;
    std::array<std::uint8_t, 256> levels{};
    for (int v = 0; v < 256; ++v)
    {
        const int nShown = bReverse ? 255 - v : v;
        const long nGrey = std::lround((nShown - kMid) * dGain + kMid + dOffset);
        levels[v] = static_cast<std::uint8_t>(std::clamp(nGrey, 0L, 255L));
    }
    return levels;
}
// One line of a copy at a whole zoom, every column nWidth pixels wide: row nRow of each column.
template <int nWidth>
void FillLine(std::uint8_t* pLine, const std::vector<const std::uint8_t*>& samples, int nRow,
              const std::array<std::uint8_t, 256>& levels)
{
    for (const std::uint8_t* pColumn : samples)
    {
        const std::uint8_t nGrey = levels[pColumn[nRow]];
        for (int x = 0; x < nWidth; ++x)
            pLine[x] = nGrey;
        pLine += nWidth;
    }
}
} // namespace

CRxPicture::CRxPicture(const CRxStore& store) : m_Store(store)
{
    m_Levels = MakeLevels(false, 0, 0);
}

void CRxPicture::SetLook(bool bReverse, const SPictureSettings& settings)
{
    if (bReverse != m_bReverse || settings.nBrightness != m_nBrightness || settings.nContrast != m_nContrast)
        m_Levels = MakeLevels(bReverse, settings.nBrightness, settings.nContrast);
    m_bReverse = bReverse;
    m_nBrightness = settings.nBrightness;
    m_nContrast = settings.nContrast;
    m_nZoom = settings.nZoom;
    m_nSlant = settings.nSlant;
}

int CRxPicture::Zoomed(int nPixels) const
{
    return static_cast<int>(CeilDiv<std::int64_t>(std::int64_t{nPixels} * m_nZoom, 100));
}

int CRxPicture::Unzoomed(int nPixels) const
{
    return static_cast<int>(FloorDiv<std::int64_t>(std::int64_t{nPixels} * 100, m_nZoom));
}

QRect CRxPicture::ZoomedRect(const QRect& rUnzoomed) const
{
    return {QPoint(Zoomed(rUnzoomed.left()), Zoomed(rUnzoomed.top())),
            QPoint(Zoomed(rUnzoomed.left() + rUnzoomed.width()) - 1,
                   Zoomed(rUnzoomed.top() + rUnzoomed.height()) - 1)};
}

// ---- Columns -----------------------------------------------------------------------------------

std::int64_t CRxPicture::GetColumnStart(std::int64_t n) const
{
    return n * kRows + std::llround(static_cast<double>(n) * kRows * m_nSlant * kPerMillion);
}

std::int64_t CRxPicture::GetColumnAt(std::int64_t i) const
{
    // Columns are 27 to 29 samples long: an estimate is at most one off.
    std::int64_t n = static_cast<std::int64_t>(i / (kRows * (1 + m_nSlant * kPerMillion)));
    while (GetColumnStart(n + 1) <= i)
        ++n;
    while (n > 0 && GetColumnStart(n) > i)
        --n;
    return n;
}

std::int64_t CRxPicture::GetColumnCount() const
{
    if (m_Store.m_nRxPages == 0)
        return 0;
    return GetColumnAt(static_cast<std::int64_t>(m_Store.GetByteCount())) + 1;
}

int CRxPicture::GetBandCount() const
{
    return BandsOf(GetColumnCount());
}

QSize CRxPicture::GetSize() const
{
    return {Zoomed(kPictureWidth), Zoomed(kBandHeight * GetBandCount() + kMargin)};
}

QRegion CRxPicture::GetStoredColumnRegion(int nPage, int nColumn) const
{
    // The columns that hold any of the stored column's samples.
    const std::int64_t nStored = std::int64_t{nPage} * kColumns + nColumn;
    const std::int64_t nFirst = nStored == 0 ? 0 : GetColumnAt((nStored - 1) * kRows) + 1;
    const std::int64_t nLast = GetColumnAt(nStored * kRows + kRows - 1);
    QRegion region;
    for (std::int64_t n = nFirst; n <= nLast; ++n)
    {
        const int nBand = static_cast<int>(n / kColumns);
        const int nLeft = kMargin + kColumnWidth * static_cast<int>(n % kColumns);
        const int nTop = kBandHeight * nBand + kMargin;
        region += ZoomedRect(QRect(nLeft, nTop, kColumnWidth, kRows));
        region += ZoomedRect(QRect(nLeft + kColumnWidth, nTop + kRows, kColumnWidth, kRows));
    }
    return region;
}

const std::uint8_t* CRxPicture::GetSamples(std::int64_t n, std::int64_t nStored, std::uint8_t* pSpare) const
{
    const std::int64_t nStart = GetColumnStart(n);
    const std::int64_t nOffset = nStart % CRxStore::kPageSize;
    if (nStart + kRows <= nStored && nOffset + kRows <= CRxStore::kPageSize)
        return m_Store.m_RxPages[static_cast<std::size_t>(nStart / CRxStore::kPageSize)]->data() + nOffset;
    for (int r = 0; r < kRows; ++r)
    {
        const std::int64_t i = nStart + r;
        pSpare[r] = i < nStored ? (*m_Store.m_RxPages[static_cast<std::size_t>(i / CRxStore::kPageSize)])
                                      [static_cast<std::size_t>(i % CRxStore::kPageSize)]
                                : 0;
    }
    return pSpare;
}

// ---- Drawing -----------------------------------------------------------------------------------

void CRxPicture::Draw(QPainter& painter, const QRect& rClip)
{
    if (m_Store.m_nRxPages == 0 || rClip.isEmpty())
        return;
    const std::int64_t nColumns = GetColumnCount();
    // In unzoomed pixels: bands whose rows 60k+4 .. 60k+59 meet the clip, columns whose 6-pixel
    // footprint does.
    const int nFirstBand = std::max(0, CeilDiv(Unzoomed(rClip.top()) - kLastLowerPixel, kBandHeight));
    const int nLastBand = std::min(BandsOf(nColumns) - 1, FloorDiv(Unzoomed(rClip.bottom()) - kMargin, kBandHeight));
    const int nFirstColumn =
        std::max(0, CeilDiv(Unzoomed(rClip.left()) - kMargin - kFootprint + 1, kColumnWidth));
    const int nLastColumn = std::min(kColumns - 1, FloorDiv(Unzoomed(rClip.right()) - kMargin, kColumnWidth));
    for (int k = nFirstBand; k <= nLastBand; ++k)
    {
        const int nLast = static_cast<int>(std::min<std::int64_t>(nLastColumn, nColumns - 1 - std::int64_t{k} * kColumns));
        if (nFirstColumn <= nLast)
            DrawBand(painter, k, nFirstColumn, nLast);
    }
}

void CRxPicture::DrawBand(QPainter& painter, int nBand, int nFirst, int nLast)
{
    const int nCount = nLast - nFirst + 1;
    const std::int64_t nStored = static_cast<std::int64_t>(m_Store.GetByteCount());
    m_Samples.resize(static_cast<std::size_t>(nCount));
    m_Spare.resize(static_cast<std::size_t>(nCount) * kRows);
    for (int c = 0; c < nCount; ++c)
        m_Samples[c] = GetSamples(std::int64_t{nBand} * kColumns + nFirst + c, nStored, &m_Spare[c * kRows]);

    const int nLeft = kMargin + kColumnWidth * nFirst;
    const int nTop = kBandHeight * nBand + kMargin;
    const QRect rUpper = FillCopy(nLeft, nTop);
    painter.drawImage(rUpper.topLeft(), m_Copy);
    // At a whole zoom the lower copy comes out as the upper one; else its pixels fall otherwise.
    const QRect rLower = m_nZoom % 100 == 0 ? rUpper.translated(Zoomed(kColumnWidth), Zoomed(kRows))
                                            : FillCopy(nLeft + kColumnWidth, nTop + kRows);
    painter.drawImage(rLower.topLeft(), m_Copy);
}

QRect CRxPicture::FillCopy(int nLeft, int nTop)
{
    const int nCount = static_cast<int>(m_Samples.size());
    const QRect r = ZoomedRect(QRect(nLeft, nTop, kColumnWidth * nCount, kRows));
    // Lines 32-bit aligned, as QImage wants them.
    const std::size_t nStride = (static_cast<std::size_t>(r.width()) + 3) & ~std::size_t{3};
    m_CopyBits.resize(nStride * static_cast<std::size_t>(r.height()));
    m_Edges.resize(static_cast<std::size_t>(nCount) + 1);
    for (int c = 0; c <= nCount; ++c)
        m_Edges[c] = Zoomed(nLeft + kColumnWidth * c) - r.left();
    std::uint8_t* pLine = m_CopyBits.data();
    int nLineRow = -1;
    for (int y = 0; y < r.height(); ++y, pLine += nStride)
    {
        // Line y shows row 27 - v of the copy's unzoomed line v: the first sample of a column is
        // at the bottom. Zoomed lines of one row are alike.
        const int nRow = kRows - 1 - (Unzoomed(r.top() + y) - nTop);
        if (nRow == nLineRow)
        {
            std::memcpy(pLine, pLine - nStride, static_cast<std::size_t>(r.width()));
            continue;
        }
        nLineRow = nRow;
        switch (m_nZoom)
        {
        case 100:
            FillLine<kColumnWidth>(pLine, m_Samples, nRow, m_Levels);
            break;
        case 200:
            FillLine<2 * kColumnWidth>(pLine, m_Samples, nRow, m_Levels);
            break;
        case 300:
            FillLine<3 * kColumnWidth>(pLine, m_Samples, nRow, m_Levels);
            break;
        default: // columns of two widths
            for (std::size_t c = 0; c < m_Samples.size(); ++c)
                std::fill(pLine + m_Edges[c], pLine + m_Edges[c + 1], m_Levels[m_Samples[c][nRow]]);
            break;
        }
    }
    // An image over the bits, for drawing: it never copies them.
    m_Copy = QImage(m_CopyBits.data(), r.width(), r.height(), static_cast<qsizetype>(nStride),
                    QImage::Format_Grayscale8);
    return r;
}
