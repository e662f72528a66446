// Receive-data files on a disk that stalls: reception goes on while a save waits for fsync and
// while a load waits for its reads, nothing received is lost, and the files come out exact.
//
// This executable puts its own fsync and read in front of the C library's (the core is linked in
// statically, so its calls land here): while a gate is closed, they wait for the test to open it.

#include "DocTestFixture.h"

#include "link/LinkQueues.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <condition_variable>
#include <fstream>
#include <iterator>
#include <mutex>

namespace
{
// Holds the calls it is armed for until opened.
class CDiskGate
{
public:
    void Close(ino_t nInode = 0)
    {
        std::scoped_lock lock(m_Lock);
        m_bClosed = true;
        m_nInode = nInode;
        m_nWaiting = 0;
    }
    void Open()
    {
        {
            std::scoped_lock lock(m_Lock);
            m_bClosed = false;
        }
        m_Opened.notify_all();
    }
    // Waits while the gate is closed for this file (any file when no inode was given).
    void Pass(int fd)
    {
        std::unique_lock lock(m_Lock);
        if (!m_bClosed || (m_nInode != 0 && InodeOf(fd) != m_nInode))
            return;
        ++m_nWaiting;
        m_Opened.wait(lock, [this] { return !m_bClosed; });
    }
    bool IsHolding()
    {
        std::scoped_lock lock(m_Lock);
        return m_nWaiting > 0;
    }

private:
    static ino_t InodeOf(int fd)
    {
        struct stat st
        {
        };
        return ::fstat(fd, &st) == 0 ? st.st_ino : 0;
    }

    std::mutex m_Lock;
    std::condition_variable m_Opened;
    bool m_bClosed = false;
    ino_t m_nInode = 0;
    int m_nWaiting = 0;
};

CDiskGate g_FsyncGate;
CDiskGate g_ReadGate;

template <typename F> F* Real(const char* pszName)
{
    return reinterpret_cast<F*>(::dlsym(RTLD_NEXT, pszName));
}

std::string ReadAll(const std::string& strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}
} // namespace

extern "C" int fsync(int fd)
{
    g_FsyncGate.Pass(fd);
    static auto* pReal = Real<int(int)>("fsync");
    return pReal(fd);
}

extern "C" ssize_t read(int fd, void* pBuffer, size_t nBytes)
{
    g_ReadGate.Pass(fd);
    static auto* pReal = Real<ssize_t(int, void*, size_t)>("read");
    return pReal(fd, pBuffer, nBytes);
}

class SlowDiskTest : public DocTest
{
protected:
    // Samples as the I/O thread delivers them, taken in by heartbeats, until the gate holds the
    // file operation and for a while after.
    void ReceiveWhileHeld(CSkrivelDoc& doc, CDiskGate& gate, int nSamples)
    {
        for (int i = 0; i < nSamples || !gate.IsHolding(); ++i)
        {
            doc.GetQueues().AddRx(static_cast<std::uint32_t>(1 + i % 250));
            doc.Tick();
            ASSERT_LT(i, 1'000'000) << "the file operation never reached the disk";
        }
    }
};

TEST_F(SlowDiskTest, ReceptionGoesOnWhileASaveWaitsForTheDisk)
{
    CSkrivelDoc& doc = NewDoc();
    for (int i = 0; i < 7000; ++i)
        doc.StoreRxPixel(static_cast<std::uint8_t>(i), true);
    const std::size_t nSavedBytes = doc.m_RxStore.GetByteCount();

    g_FsyncGate.Close();
    bool bDone = false;
    bool bSaved = false;
    doc.BeginSaveDocument(PathOf("slow.hel"),
                          [&](bool bOk)
                          {
                              bDone = true;
                              bSaved = bOk;
                          });
    ReceiveWhileHeld(doc, g_FsyncGate, 20000);
    // Twice the receive queue's cap went through the heartbeat meanwhile: nothing was dropped,
    // and a clear while the save still reads the pages leaves it unharmed.
    EXPECT_GE(doc.m_RxStore.GetByteCount(), nSavedBytes + 20000);
    EXPECT_EQ(doc.GetRxDropped(), 0u);
    EXPECT_TRUE(doc.IsFileWorkPending());
    EXPECT_FALSE(bDone);
    doc.OnClearRx();

    g_FsyncGate.Open();
    while (doc.IsFileWorkPending())
        doc.Tick();
    EXPECT_TRUE(bDone);
    EXPECT_TRUE(bSaved);
    EXPECT_TRUE(m_Host.m_Messages.empty());
    const std::string strFile = ReadAll(PathOf("slow.hel"));
    ASSERT_EQ(strFile.size(), nSavedBytes);
    for (std::size_t i = 0; i < nSavedBytes; ++i)
        ASSERT_EQ(static_cast<std::uint8_t>(strFile[i]), static_cast<std::uint8_t>(i)) << i;
    EXPECT_EQ(doc.GetPathName(), PathOf("slow.hel"));
}

TEST_F(SlowDiskTest, WhatArrivesWhileALoadWaitsFollowsTheFile)
{
    const std::string strData(10000, '\x11');
    std::ofstream(PathOf("in.hel"), std::ios::binary) << strData;
    struct stat st
    {
    };
    ASSERT_EQ(::stat(PathOf("in.hel").c_str(), &st), 0);
    CSkrivelDoc& doc = NewDoc();
    for (int i = 0; i < 50; ++i)
        doc.StoreRxPixel(0x77, true);

    g_ReadGate.Close(st.st_ino);
    ASSERT_TRUE(doc.BeginOpenDocument(PathOf("in.hel")));
    ReceiveWhileHeld(doc, g_ReadGate, 300);
    // Until the file is in, the old picture stays and goes on growing.
    const std::size_t nReceived = doc.m_RxStore.GetByteCount() - 50;
    EXPECT_GE(nReceived, 300u);
    g_ReadGate.Open();
    ASSERT_TRUE(doc.WaitForFileWork());

    const CRxStore& store = doc.m_RxStore;
    ASSERT_EQ(store.GetByteCount(), strData.size() + nReceived);
    EXPECT_EQ((*store.m_RxPages[0])[0], 0x11);
    EXPECT_EQ((*store.m_RxPages[1])[10000 - 6860], 1);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), PathOf("in.hel"));
}

TEST_F(SlowDiskTest, SamplesDroppedAtTheQueuesCapAreCountedUntilThePictureIsCleared)
{
    CSkrivelDoc& doc = NewDoc();
    const int nIdleBefore = m_Host.m_nIdleCalls;
    for (int i = 0; i < 10000 + 25; ++i)
        doc.GetQueues().AddRx(1);
    doc.Tick();
    EXPECT_EQ(doc.GetRxDropped(), 25u);
    EXPECT_EQ(doc.m_RxStore.GetByteCount(), 10000u);
    EXPECT_GT(m_Host.m_nIdleCalls, nIdleBefore); // the count is shown at once
    doc.OnClearRx();
    EXPECT_EQ(doc.GetRxDropped(), 0u);
}
