#pragma once

#include "link/ItemQueue.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

// The two queues that the I/O thread shares with the heartbeat, each with its own lock.
// No code path holds both locks at once.
struct CLinkQueues
{
    // The receive queue keeps at most this many samples, always the newest.
    static constexpr std::size_t kRxQueueCap = 10000;

    // The I/O thread's end: appends one level byte, dropping (and counting) the oldest at the cap.
    void AddRx(std::uint32_t nItem)
    {
        std::scoped_lock lock(m_RxQueueLock);
        m_nRxDropped += m_RxQueue.AddTailCapped(nItem, kRxQueueCap);
    }
    // The heartbeat's end: moves every waiting sample to the end of items. Gives how many were
    // dropped since the last call.
    std::uint64_t TakeAllRx(std::vector<std::uint32_t>& items)
    {
        std::scoped_lock lock(m_RxQueueLock);
        m_RxQueue.RemoveAll(items);
        return std::exchange(m_nRxDropped, 0);
    }

    CItemQueue m_RxQueue; // level bytes from the board, oldest first
    std::mutex m_RxQueueLock;
    std::uint64_t m_nRxDropped = 0; // under m_RxQueueLock
    CItemQueue m_TxQueue; // transmit items for the board, oldest first
    std::mutex m_TxQueueLock;
};
