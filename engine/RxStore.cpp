#include "engine/RxStore.h"

#include <algorithm>
#include <cstring>

void CRxStore::Reset()
{
    m_RxPages.clear();
    m_nRxPages = 0;
    m_nRxPage = -1;
    AddPage();
}

std::vector<std::unique_ptr<CRxStore::Page>> CRxStore::ReleasePages()
{
    std::vector<std::unique_ptr<Page>> pages = std::move(m_RxPages);
    m_RxPages.clear();
    m_nRxPages = 0;
    m_nRxPage = -1;
    m_pRxPage = nullptr;
    return pages;
}

void CRxStore::AddPage()
{
    // A fresh page is zeroed, so rows not yet received draw as level 0.
    m_RxPages.push_back(std::make_unique<Page>());
    m_pRxPage = m_RxPages.back().get();
    m_nRxPages = static_cast<int>(m_RxPages.size());
    m_nRxPage = m_nRxPages - 1;
    m_nRxColumn = 0;
    m_nRxRow = 0;
}

void CRxStore::Append(const std::uint8_t* pData, std::size_t nBytes)
{
    while (nBytes > 0)
    {
        std::size_t nRoom = 0;
        std::uint8_t* pRun = GetWriteRun(nRoom);
        const std::size_t nRun = std::min(nBytes, nRoom);
        std::memcpy(pRun, pData, nRun);
        AdvanceWrite(nRun);
        pData += nRun;
        nBytes -= nRun;
    }
}

std::uint8_t* CRxStore::GetWriteRun(std::size_t& nRoom)
{
    const std::size_t nOffset = GetPageByteCount(m_nRxPage);
    nRoom = kPageSize - nOffset;
    return m_pRxPage->data() + nOffset;
}

void CRxStore::AdvanceWrite(std::size_t nBytes)
{
    const std::size_t nEnd = GetPageByteCount(m_nRxPage) + nBytes;
    if (nEnd == kPageSize)
    {
        AddPage();
        return;
    }
    m_nRxColumn = static_cast<int>(nEnd / kRowsPerColumn);
    m_nRxRow = static_cast<int>(nEnd % kRowsPerColumn);
}

std::size_t CRxStore::GetByteCount() const
{
    if (m_nRxPages == 0)
        return 0;
    return static_cast<std::size_t>(m_nRxPage) * kPageSize + GetPageByteCount(m_nRxPage);
}

std::size_t CRxStore::GetPageByteCount(int nPage) const
{
    if (nPage < m_nRxPage)
        return kPageSize;
    if (nPage > m_nRxPage)
        return 0;
    return static_cast<std::size_t>(m_nRxColumn) * kRowsPerColumn + m_nRxRow;
}
