#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Every received pixel byte since the last reset, in arrival order, cut into pages: a page is one
// line band of the receive picture, 245 columns of 28 samples. Pages are allocated one at a time
// and never move, so the view can paint straight from them.
class CRxStore
{
public:
    static constexpr int kRowsPerColumn = 28;
    static constexpr int kColumnsPerPage = 245;
    static constexpr int kPageSize = kRowsPerColumn * kColumnsPerPage; // 6860 bytes
    using Page = std::array<std::uint8_t, kPageSize>;

    // What storing one byte completed.
    enum class Progress
    {
        None,   // the byte went into the current column
        Column, // a column was completed and the next one begun
        Page,   // the last column of a page was completed and a new page begun
    };

    // No pages yet: Reset makes the store usable.
    CRxStore() = default;

    // Frees every page and starts again with one fresh page at column 0, row 0.
    void Reset();
    // Hands every page over, leaving none: Reset makes the store usable again.
    std::vector<std::unique_ptr<Page>> ReleasePages();

    // Stores one byte at the write position and moves it on.
    Progress Store(std::uint8_t nValue)
    {
        (*m_pRxPage)[m_nRxColumn * kRowsPerColumn + m_nRxRow] = nValue;
        if (++m_nRxRow < kRowsPerColumn)
            return Progress::None;
        m_nRxRow = 0;
        if (++m_nRxColumn < kColumnsPerPage)
            return Progress::Column;
        AddPage();
        return Progress::Page;
    }

    // Stores many bytes at once; the pages and the write position come out exactly as storing
    // them one by one would leave them.
    void Append(const std::uint8_t* pData, std::size_t nBytes);

    // For filling the store straight from a file: the free rest of the current page, then
    // AdvanceWrite with the number of bytes put there (at most nRoom).
    std::uint8_t* GetWriteRun(std::size_t& nRoom);
    void AdvanceWrite(std::size_t nBytes);

    // The number of bytes stored: everything before the write position.
    std::size_t GetByteCount() const;

    // The stored bytes of page nPage (the last page only up to the write position).
    std::size_t GetPageByteCount(int nPage) const;

    std::vector<std::unique_ptr<Page>> m_RxPages; // oldest first; the last one is being written
    int m_nRxPages = 0;
    Page* m_pRxPage = nullptr; // the page being written, always the last one
    int m_nRxPage = 0;         // its index, always m_nRxPages - 1
    int m_nRxColumn = 0;       // 0..244
    int m_nRxRow = 0;          // 0..27

private:
    void AddPage();
};
