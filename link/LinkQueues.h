#pragma once

#include "link/ItemQueue.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

// The two queues that the I/O thread shares with the heartbeat. Each has its own lock, taken
// only inside these methods and never both at once.
class CLinkQueues
{
public:
    // The receive queue keeps at most this many samples, always the newest.
    static constexpr std::size_t kRxQueueCap = 10000;

    // Receive queue, the I/O thread's end: appends level bytes, dropping (and counting) the
    // oldest at the cap.
    void AddRx(std::uint32_t nItem) { AddRx(std::span(&nItem, 1)); }
    void AddRx(std::span<const std::uint32_t> items);
    // Receive queue, the heartbeat's end: moves every waiting sample, oldest first, to the end of
    // items. Gives how many were dropped since the last call.
    std::uint64_t TakeAllRx(std::vector<std::uint32_t>& items);
    std::size_t GetRxCount() const;

    // Transmit queue, the heartbeat's end: moves all of items (one character's, say) to the end
    // of the queue at once, so that the I/O thread never sees part of them.
    void AddTx(CItemQueue& items);
    void AddTx(std::uint32_t nItem, std::size_t nRepeat);
    std::size_t GetTxCount() const;
    // Transmit queue, the I/O thread's end: the next item. An empty queue is first given
    // nRepeat filler items nFiller.
    std::uint32_t TakeTx(std::uint32_t nFiller, std::size_t nRepeat);
    // The next item, if one is queued; no filler.
    bool TryTakeTx(std::uint32_t& nItem);
    // Moves every queued transmit item, oldest first, to the end of items.
    void TakeAllTx(std::vector<std::uint32_t>& items);

private:
    CItemQueue m_RxQueue; // level bytes from the board, oldest first
    std::uint64_t m_nRxDropped = 0;
    mutable std::mutex m_RxQueueLock;
    CItemQueue m_TxQueue; // transmit items for the board, oldest first
    mutable std::mutex m_TxQueueLock;
};
