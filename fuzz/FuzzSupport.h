#pragma once

#include "HeadlessDoc.h"

#include "doc/IRxDisplay.h"
#include "doc/SkrivelDoc.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

// An in-memory file holding the fuzzer's input, reachable by a path like any file on disk.
class CMemoryFile
{
public:
    CMemoryFile(const std::uint8_t* pData, std::size_t nSize) : m_fd(::memfd_create("skrivel-fuzz", 0))
    {
        if (m_fd < 0)
            std::abort();
        for (std::size_t nDone = 0; nDone < nSize;)
        {
            const ssize_t n = ::write(m_fd, pData + nDone, nSize - nDone);
            if (n <= 0)
                std::abort();
            nDone += static_cast<std::size_t>(n);
        }
    }
    ~CMemoryFile() { ::close(m_fd); }
    CMemoryFile(const CMemoryFile&) = delete;
    CMemoryFile& operator=(const CMemoryFile&) = delete;

    std::string GetPath() const { return "/proc/self/fd/" + std::to_string(m_fd); }
    int GetDescriptor() const { return m_fd; }

private:
    int m_fd;
};

// A display that checks what the document asks it to paint lies inside the store.
class CCheckingRxDisplay : public IRxDisplay
{
public:
    explicit CCheckingRxDisplay(const CSkrivelDoc& doc) : m_Doc(doc) {}
    void PaintColumn(int nPage, int nColumn) override
    {
        if (nPage < 0 || nPage >= m_Doc.m_RxStore.m_nRxPages || nColumn < 0 ||
            nColumn >= CRxStore::kColumnsPerPage)
            std::abort();
    }
    void UpdateScrollSizes() override {}
    void FollowEnd() override {}
    void ScrollToEnd() override {}
    void OnUpdate() override {}

private:
    const CSkrivelDoc& m_Doc;
};

// The engine alone, with a display that checks what it is asked to paint.
struct CFuzzDoc
{
    CFuzzDoc() { headless.doc.SetRxDisplay(&display); }
    CHeadlessDoc headless;
    CSkrivelDoc& doc = headless.doc;
    CCheckingRxDisplay display{doc};
};
