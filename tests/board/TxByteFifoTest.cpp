#include "board/TxByteFifo.h"

#include <gtest/gtest.h>

#include <vector>

TEST(TxByteFifo, HoldsTheKeyWithoutToneWhenDryAndUnkeysAfterASecond)
{
    CTxByteFifo fifo;
    const std::uint8_t marked = 6;
    fifo.Push(&marked, 1);
    EXPECT_EQ(fifo.Pop(), 6);
    for (int i = 1; i < CTxByteFifo::kWatchdogPixels; ++i)
        ASSERT_EQ(fifo.Pop(), 4) << i;
    EXPECT_EQ(fifo.Pop(), 0);
    EXPECT_EQ(fifo.GetUnderruns(), static_cast<std::uint64_t>(CTxByteFifo::kWatchdogPixels));
    // A byte resets the watchdog.
    fifo.Push(&marked, 1);
    EXPECT_EQ(fifo.Pop(), 6);
    EXPECT_EQ(fifo.Pop(), 4);
}

TEST(TxByteFifo, DropsABacklogOfReceiveBytesButNeverAKeyedOne)
{
    CTxByteFifo fifo;
    const std::vector<std::uint8_t> idle(500, 0);
    fifo.Push(idle.data(), idle.size());
    EXPECT_LE(fifo.GetCount(), CTxByteFifo::kIdleSlack);

    std::vector<std::uint8_t> keyed(300, 4);
    keyed.front() = 6;
    fifo.Push(keyed.data(), keyed.size());
    fifo.Push(idle.data(), idle.size());
    while (fifo.GetCount() > 0 && fifo.Pop() == 0)
    {
    }
    EXPECT_EQ(fifo.GetCount(), keyed.size() - 1 + idle.size());
}
