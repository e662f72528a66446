#include "link/ItemQueue.h"
#include "link/LinkQueues.h"

#include <gtest/gtest.h>

#include <numeric>

namespace
{
std::vector<std::uint32_t> Drain(CItemQueue& queue)
{
    std::vector<std::uint32_t> items;
    while (!queue.IsEmpty())
        items.push_back(queue.RemoveHead());
    return items;
}

std::vector<std::uint32_t> Sequence(std::uint32_t nFirst, std::size_t nCount)
{
    std::vector<std::uint32_t> items(nCount);
    std::iota(items.begin(), items.end(), nFirst);
    return items;
}

TEST(ItemQueue, KeepsOrderAcrossRingWrapAndGrowth)
{
    CItemQueue queue;
    for (std::uint32_t n = 0; n < 12; ++n)
        queue.AddTail(n);
    for (std::uint32_t n = 0; n < 9; ++n)
        EXPECT_EQ(n, queue.RemoveHead());
    // The head now sits far into the ring: the next items wrap, then force growth while wrapped.
    for (std::uint32_t n = 12; n < 100; ++n)
        queue.AddTail(n);
    EXPECT_EQ(91u, queue.GetCount());
    EXPECT_EQ(Sequence(9, 91), Drain(queue));
}

TEST(ItemQueue, RepeatedAppendAndRemoveAllKeepOrder)
{
    CItemQueue queue;
    queue.AddTail(1);
    queue.AddTail(4, 3);
    for (int i = 0; i < 20; ++i) // wrap the ring before taking everything at once
    {
        queue.AddTail(100 + i);
        queue.RemoveHead();
    }
    std::vector<std::uint32_t> items{7};
    queue.RemoveAll(items);
    EXPECT_EQ((std::vector<std::uint32_t>{7, 116, 117, 118, 119}), items);
    EXPECT_TRUE(queue.IsEmpty());
    queue.RemoveAll(items);
    EXPECT_EQ(5u, items.size());
}

TEST(ItemQueue, CapDropsTheOldest)
{
    // The receive queue keeps the newest 10000 samples and counts the ones it drops.
    CLinkQueues queues;
    for (std::uint32_t n = 1; n <= 10000; ++n)
        queues.AddRx(n);
    std::vector<std::uint32_t> items;
    EXPECT_EQ(0u, queues.TakeAllRx(items));
    ASSERT_EQ(10000u, items.size());
    for (std::uint32_t n = 1; n <= 10002; ++n)
        queues.AddRx(n);
    items.clear();
    EXPECT_EQ(2u, queues.TakeAllRx(items));
    ASSERT_EQ(10000u, items.size());
    EXPECT_EQ(3u, items.front());
    EXPECT_EQ(10002u, items.back());

    // A queue already over the cap comes down to it, keeping the newest.
    CItemQueue overfull;
    for (std::uint32_t n = 1; n <= 10; ++n)
        overfull.AddTail(n);
    overfull.AddTailCapped(11, 4);
    EXPECT_EQ((std::vector<std::uint32_t>{8, 9, 10, 11}), Drain(overfull));
}

TEST(ItemQueue, DrainReleasesTheStorageOfALongQueue)
{
    CItemQueue queue;
    queue.AddTail(6, 100000);
    EXPECT_GT(queue.GetCapacity(), CItemQueue::kRetainedCapacity);
    Drain(queue);
    EXPECT_LE(queue.GetCapacity(), CItemQueue::kRetainedCapacity);

    queue.AddTail(4, 50000);
    std::vector<std::uint32_t> items;
    queue.RemoveAll(items);
    EXPECT_LE(queue.GetCapacity(), CItemQueue::kRetainedCapacity);

    // A short queue keeps its storage, so the steady state does not allocate.
    queue.AddTail(1, 100);
    const std::size_t nCapacity = queue.GetCapacity();
    Drain(queue);
    EXPECT_EQ(nCapacity, queue.GetCapacity());
    queue.AddTail(2);
    EXPECT_EQ(2u, queue.RemoveHead());
}
} // namespace
