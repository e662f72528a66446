#pragma once

#include "doc/FileErrorText.h"
#include "engine/RxStore.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// A receive-data file loaded or saved on a thread of its own, so that a slow disk holds up neither
// reception nor the window. A save writes runs of stored bytes that stay where they are (the
// store only appends behind them, and pages it lets go meanwhile are kept by the job); a load
// fills a store of its own, which the document takes over once the job is done.
class CRxDataJob
{
public:
    struct CRun
    {
        const std::uint8_t* pData;
        std::size_t nBytes;
    };
    enum class Kind
    {
        Load,
        Save,
    };

    // Saves the runs, in order, to strPath.
    CRxDataJob(std::string strPath, std::vector<CRun> runs);
    // Loads the file open as fd, which the job closes.
    CRxDataJob(std::string strPath, int fd);
    // Waits for the thread.
    ~CRxDataJob();
    CRxDataJob(const CRxDataJob&) = delete;
    CRxDataJob& operator=(const CRxDataJob&) = delete;

    Kind GetKind() const { return m_Kind; }
    const std::string& GetPath() const { return m_strPath; }
    bool IsDone() const { return m_bDone; }
    void Wait();

    // Once done: 0, or the errno of the failure and the step that failed.
    int GetError() const { return m_nError; }
    FileErrorText::Operation GetFailedOperation() const { return m_FailedOperation; }
    // Once a load is done: what it read.
    CRxStore& GetLoadedStore() { return m_Loaded; }

    // Pages the document has let go of while a save may still be reading them.
    void KeepPages(std::vector<std::unique_ptr<CRxStore::Page>> pages);

private:
    void Save(const std::vector<CRun>& runs);
    void Load(int fd);
    void Finish(int nError, FileErrorText::Operation op);

    const Kind m_Kind;
    const std::string m_strPath;
    int m_nError = 0;
    FileErrorText::Operation m_FailedOperation = FileErrorText::Operation::Open;
    CRxStore m_Loaded;
    std::vector<std::unique_ptr<CRxStore::Page>> m_KeptPages; // touched by the document's thread only
    std::atomic<bool> m_bDone{false};
    std::thread m_Thread; // last: it starts once everything above is in place
};
