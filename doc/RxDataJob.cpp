#include "doc/RxDataJob.h"

#include "engine/Archive.h"
#include "doc/AtomicFile.h"

#include <unistd.h>

CRxDataJob::CRxDataJob(std::string strPath, std::vector<CRun> runs)
    : m_Kind(Kind::Save), m_strPath(std::move(strPath))
{
    m_Thread = std::thread([this, runs = std::move(runs)] { Save(runs); });
}

CRxDataJob::CRxDataJob(std::string strPath, int fd) : m_Kind(Kind::Load), m_strPath(std::move(strPath))
{
    m_Thread = std::thread([this, fd] { Load(fd); });
}

CRxDataJob::~CRxDataJob()
{
    Wait();
}

void CRxDataJob::Wait()
{
    if (m_Thread.joinable())
        m_Thread.join();
}

void CRxDataJob::KeepPages(std::vector<std::unique_ptr<CRxStore::Page>> pages)
{
    for (auto& pPage : pages)
        m_KeptPages.push_back(std::move(pPage));
}

void CRxDataJob::Save(const std::vector<CRun>& runs)
{
    CAtomicFile file;
    int nError = file.Create(m_strPath);
    if (nError == 0)
    {
        CArchive ar(file.GetDescriptor(), CArchive::Mode::Store);
        for (const CRun& run : runs)
            ar.Write(run.pData, run.nBytes);
        ar.Flush();
        nError = ar.GetError();
    }
    if (nError == 0)
        nError = file.Commit();
    Finish(nError, FileErrorText::Operation::Save);
}

void CRxDataJob::Load(int fd)
{
    m_Loaded.Reset();
    int nError = 0;
    {
        CArchive ar(fd, CArchive::Mode::Load);
        // Straight into the pages: the store fills them exactly as byte-by-byte storing would.
        for (;;)
        {
            std::size_t nRoom = 0;
            std::uint8_t* pRun = m_Loaded.GetWriteRun(nRoom);
            const std::size_t nRead = ar.Read(pRun, nRoom);
            if (nRead == 0)
                break;
            m_Loaded.AdvanceWrite(nRead);
        }
        nError = ar.GetError();
    }
    ::close(fd);
    if (nError != 0)
        m_Loaded.Reset();
    Finish(nError, FileErrorText::Operation::Read);
}

void CRxDataJob::Finish(int nError, FileErrorText::Operation op)
{
    m_nError = nError;
    m_FailedOperation = op;
    m_bDone = true;
}
