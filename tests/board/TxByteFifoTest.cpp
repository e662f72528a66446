#include "board/TxByteFifo.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

TEST(TxByteFifo, PlaysOnlyWithBytesInHandAndHoldsTheKeyWithoutToneMeanwhile)
{
    CTxByteFifo fifo;
    const std::vector<std::uint8_t> bytes = {6, 6, 4, 6, 4, 4, 6, 6, 4, 6};
    for (std::size_t i = 0; i + 1 < CTxByteFifo::kSlack; ++i)
    {
        fifo.Push(&bytes[i], 1);
        ASSERT_EQ(fifo.Pop(), 0) << i; // nothing keyed yet: the transmitter stays off
    }
    fifo.Push(&bytes[CTxByteFifo::kSlack - 1], 1);
    for (std::size_t i = 0; i < CTxByteFifo::kSlack; ++i)
        ASSERT_EQ(fifo.Pop(), bytes[i]) << i;
    // Run dry: keyed without tone until kSlack bytes are back in hand, then on in order.
    EXPECT_EQ(fifo.Pop(), 4);
    fifo.Push(bytes.data(), CTxByteFifo::kSlack - 1);
    EXPECT_EQ(fifo.Pop(), 4);
    fifo.Push(bytes.data(), 1);
    EXPECT_EQ(fifo.Pop(), 6);
    EXPECT_EQ(fifo.GetCount(), CTxByteFifo::kSlack - 1);
}

TEST(TxByteFifo, UnkeysAfterASecondWithoutBytes)
{
    CTxByteFifo fifo;
    const std::vector<std::uint8_t> marked(CTxByteFifo::kSlack, 6);
    fifo.Push(marked.data(), marked.size());
    for (std::size_t i = 0; i < marked.size(); ++i)
        fifo.Pop();
    for (int i = 0; i + 1 < CTxByteFifo::kWatchdogPixels; ++i)
        ASSERT_EQ(fifo.Pop(), 4) << i;
    EXPECT_EQ(fifo.Pop(), 0);
    EXPECT_EQ(fifo.Pop(), 0);
}

TEST(TxByteFifo, DropsABacklogOfReceiveBytesButNeverAKeyedOne)
{
    CTxByteFifo fifo;
    const std::vector<std::uint8_t> idle(500, 0);
    fifo.Push(idle.data(), idle.size());
    EXPECT_LE(fifo.GetCount(), CTxByteFifo::kIdleBacklog);
    EXPECT_GE(fifo.GetCount(), CTxByteFifo::kSlack);

    std::vector<std::uint8_t> keyed(300, 4);
    keyed.front() = 6;
    fifo.Push(keyed.data(), keyed.size());
    fifo.Push(idle.data(), idle.size());
    while (fifo.GetCount() > 0 && fifo.Pop() == 0)
    {
    }
    EXPECT_EQ(fifo.GetCount(), keyed.size() - 1 + idle.size());
}
