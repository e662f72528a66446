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
    return queues.GetRxCount();
}

inline std::size_t TxCount(CLinkQueues& queues)
{
    return queues.GetTxCount();
}

inline std::vector<std::uint32_t> TakeRx(CLinkQueues& queues)
{
    std::vector<std::uint32_t> items;
    queues.TakeAllRx(items);
    return items;
}

inline std::vector<std::uint32_t> TakeTx(CLinkQueues& queues)
{
    std::vector<std::uint32_t> items;
    queues.TakeAllTx(items);
    return items;
}

inline void PutTx(CLinkQueues& queues, const std::vector<std::uint32_t>& items)
{
    CItemQueue queued;
    for (const std::uint32_t nItem : items)
        queued.AddTail(nItem);
    queues.AddTx(queued);
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

// An empty folder of the test's own in the temporary directory.
inline std::filesystem::path MakeScratchDir(const std::string& strName)
{
    const std::filesystem::path dir = TempPath(strName);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directory(dir);
    return dir;
}

// Makes the symbolic link point at strTarget in one step, as a board started again does.
inline void PointLink(const std::filesystem::path& link, const std::string& strTarget)
{
    std::filesystem::path fresh = link;
    fresh += ".new";
    std::filesystem::create_symlink(strTarget, fresh);
    std::filesystem::rename(fresh, link);
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
