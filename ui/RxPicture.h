#pragma once

#include "doc/PictureSettings.h"

#include <QImage>
#include <QRegion>
#include <QSize>

#include <array>
#include <cstdint>
#include <vector>

class CRxStore;
class QPainter;

// The receive picture as painted from the store: the samples cut into columns of 28, 245 columns
// to a band 60 pixels high, each column drawn twice (the lower copy one column to the right), its
// levels shown through reverse video, brightness and contrast, the whole zoomed.
//
// A slant correction cuts the samples into columns a little longer or shorter than 28, as a
// station whose clock runs fast or slow sends them, so that its text stands straight again. Each
// column still shows 28 samples, from where its station column begins; the store is only read.
//
// Coordinates are those of the zoomed picture: its pixel x shows the unzoomed pixel x / zoom,
// rounded down.
class CRxPicture
{
public:
    static constexpr int kBandHeight = 60; // unzoomed

    explicit CRxPicture(const CRxStore& store);
    CRxPicture(const CRxPicture&) = delete;
    CRxPicture& operator=(const CRxPicture&) = delete;

    void SetLook(bool bReverse, const SPictureSettings& settings);
    int GetZoom() const { return m_nZoom; }
    int GetSlant() const { return m_nSlant; }

    // Unzoomed pixels to zoomed ones (the first zoomed pixel that shows them) and back.
    int Zoomed(int nPixels) const;
    int Unzoomed(int nPixels) const;

    // The columns drawn: those that begin at or before the end of the stored samples (the
    // last of them being received, or about to be).
    std::int64_t GetColumnCount() const;
    int GetBandCount() const;
    QSize GetSize() const;
    // Where the samples of the store's column nColumn of page nPage are drawn.
    QRegion GetStoredColumnRegion(int nPage, int nColumn) const;

    // Draws every column that touches rClip.
    void Draw(QPainter& painter, const QRect& rClip);

private:
    // The first sample of column n, and the last column that begins at or before sample i.
    std::int64_t GetColumnStart(std::int64_t n) const;
    std::int64_t GetColumnAt(std::int64_t i) const;
    // The 28 samples of column n: in the store where they lie together there, else copied to
    // pSpare, samples not yet stored (nStored and after) as level 0.
    const std::uint8_t* GetSamples(std::int64_t n, std::int64_t nStored, std::uint8_t* pSpare) const;
    // Draws columns nFirst..nLast of band nBand, both copies.
    void DrawBand(QPainter& painter, int nBand, int nFirst, int nLast);
    // Fills m_Copy with one copy of the columns whose samples are in m_Samples, its unzoomed
    // top-left corner at (nLeft, nTop); gives its zoomed rectangle.
    QRect FillCopy(int nLeft, int nTop);
    QRect ZoomedRect(const QRect& rUnzoomed) const;

    const CRxStore& m_Store;
    std::array<std::uint8_t, 256> m_Levels{}; // the grey painted for each level
    bool m_bReverse = false;
    int m_nBrightness = 0;
    int m_nContrast = 0;
    int m_nZoom = 100; // percent
    int m_nSlant = 0;  // ppm

    // Reused by every draw: one copy of a band's columns at zoomed size (its grey bytes, and an
    // image over them), the columns' samples, where each column begins in the copy.
    std::vector<std::uint8_t> m_CopyBits;
    QImage m_Copy;
    std::vector<const std::uint8_t*> m_Samples;
    std::vector<std::uint8_t> m_Spare;
    std::vector<int> m_Edges;
};
