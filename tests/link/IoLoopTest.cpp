#include "link/LinkQueues.h"
#include "link/SerialLink.h"
#include "tests/link/LinkTestUtil.h"
#include "tests/link/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace
{
using namespace std::chrono_literals;
using LinkTest::PutTx;
using LinkTest::TakeRx;
using LinkTest::TakeRxAtLeast;
using LinkTest::TakeTx;

// A link on a pseudo-terminal whose board side is in the test's hands.
class IoLoop : public ::testing::Test
{
protected:
    IoLoop() { m_Terminal.MakeRaw(); }
    void Open() { ASSERT_TRUE(m_Link.OpenPort(m_Terminal.GetSlavePath())) << m_Link.GetOpenErrorText(); }

    CPseudoTerminal m_Terminal;
    CLinkQueues m_Queues;
    CSerialLink m_Link{m_Queues};
};

std::vector<std::uint32_t> Prefix(const std::vector<std::uint32_t>& items, std::size_t nCount)
{
    return {items.begin(), items.begin() + static_cast<std::ptrdiff_t>(std::min(nCount, items.size()))};
}

TEST_F(IoLoop, EveryByteIsASampleAndEverySecondSlotSendsTheNextItem)
{
    // Bytes that a cooked or flow-controlled line would eat or change: null, CR, LF, XON, XOFF,
    // ^C. The first half waits before the link opens, so that the first slots are all data; the
    // second half comes after, under the link's own line settings, and may follow silent slots.
    const std::vector<std::uint8_t> before{0, 13, 10, 17, 19, 3, 255, 0};
    const std::vector<std::uint8_t> after{13, 10, 17, 19, 3, 255, 127, 28};
    const std::vector<std::uint32_t> items{6, 4, 0, 4, 0x1234506, 6, 4, 0};
    PutTx(m_Queues, items);
    m_Terminal.Write(before);
    Open();
    m_Terminal.Write(after);

    const std::vector<std::uint8_t> sent = m_Terminal.Read(8, 5s);
    std::vector<std::uint32_t> received = TakeRxAtLeast(m_Queues, before.size() + after.size());
    EXPECT_EQ(std::vector<std::uint32_t>(before.begin(), before.end()), Prefix(received, before.size()));
    received.erase(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(before.size()));
    std::erase(received, 0u);
    EXPECT_EQ(std::vector<std::uint32_t>(after.begin(), after.end()), Prefix(received, after.size()));
    // Only the low byte of an item goes out.
    EXPECT_EQ((std::vector<std::uint8_t>{6, 4, 0, 4, 6, 6, 4, 0}), sent);
}

TEST_F(IoLoop, SilentBoardGivesAZeroSampleEverySlot)
{
    Open();
    ASSERT_TRUE(LinkTest::WaitUntil([&] { return LinkTest::RxCount(m_Queues) >= 5; }));
    m_Link.StopIoThread();
    const std::vector<std::uint32_t> received = TakeRx(m_Queues);
    const std::vector<std::uint8_t> sent = m_Terminal.Read(100, 0ms);
    // A loop that spun instead of waiting out the slots would have queued many more by the time
    // it was stopped.
    EXPECT_LE(received.size(), 7u);
    EXPECT_TRUE(std::all_of(received.begin(), received.end(), [](std::uint32_t n) { return n == 0; }));
    EXPECT_EQ(received.size() / 2, sent.size()); // one byte out for every two slots
}

TEST_F(IoLoop, DryTransmitQueueGetsAFillerColumnKeyedAsTheLastItem)
{
    for (const std::uint32_t nLast : {0u, 4u, 6u})
    {
        SCOPED_TRACE(nLast);
        m_Link.ClosePort();
        TakeTx(m_Queues);
        TakeRx(m_Queues);
        m_Terminal.Read(1000, 0ms);
        const std::uint8_t nFiller = nLast & 4;
        PutTx(m_Queues, {nLast});
        m_Terminal.Write(std::vector<std::uint8_t>(6, 99));
        Open();
        EXPECT_EQ((std::vector<std::uint8_t>{static_cast<std::uint8_t>(nLast), nFiller, nFiller}),
                  m_Terminal.Read(3, 5s));
        // One filler column of 14, two of them sent; the next transmit slot is two silent
        // read slots (400 ms) away.
        EXPECT_EQ(std::vector<std::uint32_t>(12, nFiller), TakeTx(m_Queues));
    }
}

TEST_F(IoLoop, ReceiveQueueKeepsTheNewestSamplesAtItsCap)
{
    constexpr std::size_t nBytes = 10000 + 500;
    // Never 0, so that a silent slot (a 0) cannot be taken for board data.
    const auto Level = [](std::size_t i) { return static_cast<std::uint8_t>(1 + i % 251); };
    std::vector<std::uint8_t> board(nBytes);
    for (std::size_t i = 0; i < nBytes; ++i)
        board[i] = Level(i);
    Open();
    std::thread boardThread([&] { m_Terminal.Write(board); });
    // The link sends one byte for every two it reads; taking them in keeps it from blocking.
    const std::size_t nSent = m_Terminal.Read(nBytes / 2, 20s).size();
    boardThread.join();
    m_Link.StopIoThread();
    ASSERT_EQ(nBytes / 2, nSent);

    const std::vector<std::uint32_t> received = TakeRx(m_Queues);
    ASSERT_EQ(10000u, received.size()); // the cap
    std::vector<std::uint32_t> data;
    std::copy_if(received.begin(), received.end(), std::back_inserter(data),
                 [](std::uint32_t n) { return n != 0; });
    ASSERT_LE(data.size(), nBytes);
    const std::size_t nFirst = nBytes - data.size();
    EXPECT_GE(nFirst, 500u);
    for (std::size_t i = 0; i < data.size(); ++i)
        ASSERT_EQ(Level(nFirst + i), data[i]) << "at " << i;
}

TEST_F(IoLoop, ReselectingThePortStartsAFreshRun)
{
    PutTx(m_Queues, std::vector<std::uint32_t>(10, 6));
    m_Terminal.Write(std::vector<std::uint8_t>(4, 99));
    Open();
    EXPECT_EQ((std::vector<std::uint8_t>{6, 6}), m_Terminal.Read(2, 5s));

    m_Link.StopIoThread();
    TakeTx(m_Queues);
    m_Terminal.Read(1000, 0ms);
    m_Terminal.Write(std::vector<std::uint8_t>(4, 99));
    Open();
    // The last item starts again from 0, so the filler leaves the transmitter unkeyed.
    EXPECT_EQ((std::vector<std::uint8_t>{0, 0}), m_Terminal.Read(2, 5s));
    EXPECT_EQ(m_Terminal.GetSlavePath(), m_Link.GetPortName());
}
} // namespace
