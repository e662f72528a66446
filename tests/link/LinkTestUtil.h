#pragma once

#include "link/LinkQueues.h"

#include <chrono>
#include <cstdint>
#include <dirent.h>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

// Helpers of the link's tests: the queues as the heartbeat sees them, and waiting for the I/O
// thread without timing assertions (the limits are generous; they only stop a hung test).
namespace LinkTest
{
template <class Predicate>
bool WaitUntil(Predicate isDone, std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
    const auto tEnd = std::chrono::steady_clock::now() + timeout;
    while (!isDone())
    {
        if (std::chrono::steady_clock::now() >= tEnd)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

inline std::size_t RxCount(CLinkQueues& queues)
{
    std::scoped_lock lock(queues.m_RxQueueLock);
    return queues.m_RxQueue.GetCount();
}

inline std::size_t TxCount(CLinkQueues& queues)
{
    std::scoped_lock lock(queues.m_TxQueueLock);
    return queues.m_TxQueue.GetCount();
}

inline std::vector<std::uint32_t> TakeRx(CLinkQueues& queues)
{
    std::vector<std::uint32_t> items;
    std::scoped_lock lock(queues.m_RxQueueLock);
    queues.m_RxQueue.RemoveAll(items);
    return items;
}

inline std::vector<std::uint32_t> TakeTx(CLinkQueues& queues)
{
    std::vector<std::uint32_t> items;
    std::scoped_lock lock(queues.m_TxQueueLock);
    queues.m_TxQueue.RemoveAll(items);
    return items;
}

inline void PutTx(CLinkQueues& queues, const std::vector<std::uint32_t>& items)
{
    std::scoped_lock lock(queues.m_TxQueueLock);
    for (const std::uint32_t nItem : items)
        queues.m_TxQueue.AddTail(nItem);
}

// Waits until at least nCount samples have been queued, and takes them all.
inline std::vector<std::uint32_t> TakeRxAtLeast(CLinkQueues& queues, std::size_t nCount)
{
    WaitUntil([&] { return RxCount(queues) >= nCount; });
    return TakeRx(queues);
}

// A path in the temporary folder that no other run of the tests uses at the same time.
inline std::filesystem::path TempPath(const std::string& strName)
{
    return std::filesystem::temp_directory_path() / ("skrivel-link-" + std::to_string(getpid()) + "-" + strName);
}

// The entries of a folder, "." and ".." included: for comparing counts.
inline int CountEntries(const char* pszDir)
{
    int nCount = 0;
    if (DIR* pDir = opendir(pszDir))
    {
        while (readdir(pDir))
            ++nCount;
        closedir(pDir);
    }
    return nCount;
}

inline int CountOpenDescriptors()
{
    return CountEntries("/proc/self/fd");
}

inline int CountThreads()
{
    return CountEntries("/proc/self/task");
}
} // namespace LinkTest
