#pragma once

#include "link/ItemQueue.h"

#include <cstddef>
#include <mutex>

// The two queues that the I/O thread shares with the heartbeat, each with its own lock.
// No code path holds both locks at once.
struct CLinkQueues
{
    // The receive queue keeps at most this many samples, always the newest.
    static constexpr std::size_t kRxQueueCap = 10000;

    CItemQueue m_RxQueue; // level bytes from the board, oldest first
    std::mutex m_RxQueueLock;
    CItemQueue m_TxQueue; // transmit items for the board, oldest first
    std::mutex m_TxQueueLock;
};
