#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A first-in first-out queue of 32-bit link items, kept in a ring buffer that grows by doubling.
// Storage beyond a small reserve is released whenever the queue drains, so a queue that was once
// long (a stalled heartbeat) does not hold on to its peak memory. Not thread-safe: callers hold
// the queue's lock.
class CItemQueue
{
public:
    // Capacity kept across a drain; anything larger is given back.
    static constexpr std::size_t kRetainedCapacity = 1024;

    std::size_t GetCount() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }
    std::size_t GetCapacity() const { return m_Items.size(); }

    void AddTail(std::uint32_t nItem);
    void AddTail(std::uint32_t nItem, std::size_t nRepeat);
    // Appends, first dropping the oldest items while the queue holds nCap or more; gives the
    // number dropped.
    std::size_t AddTailCapped(std::uint32_t nItem, std::size_t nCap);
    // Precondition: the queue is not empty.
    std::uint32_t RemoveHead();
    // Moves every item, oldest first, to the end of items.
    void RemoveAll(std::vector<std::uint32_t>& items);

private:
    void Grow();
    void OnDrained();

    std::vector<std::uint32_t> m_Items;
    std::size_t m_nHead = 0;
    std::size_t m_nCount = 0;
};
