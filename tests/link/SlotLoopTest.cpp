#include "link/IPort.h"
#include "link/LinkQueues.h"
#include "link/SerialLink.h"
#include "link/TxItems.h"
#include "tests/link/LinkTestUtil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

namespace
{
using namespace std::chrono_literals;
using LinkTest::PutTx;
using LinkTest::TakeRx;
using LinkTest::TxCount;

// A port whose slots the test hands out one level at a time, as a sound card's clock would: a
// read waits until the test gives it a level, or until a stop is requested. Present or missing
// as the test says; records what it is sent.
class CSteppedPort final : public IPort
{
public:
    const std::string& GetName() const override { return m_strName; }
    bool Open() override { return true; }
    EPortState GetState() const override { return m_bPresent ? EPortState::Open : EPortState::Lost; }
    int GetDeviceError() const override { return 0; }
    std::string GetDeviceErrorText() const override { return {}; }

    std::uint32_t ReadSlot(std::stop_token stop) override
    {
        std::unique_lock lock(m_Lock);
        if (stop.stop_requested())
            ++m_nReadsAfterStop;
        m_bReading = true;
        m_Changed.notify_all();
        // The limit only ends a hung test.
        const bool bStepped = m_Changed.wait_for(lock, stop, 10s, [this] { return !m_Levels.empty(); });
        m_bReading = false;
        if (!bStepped)
        {
            m_bWokenByStop = stop.stop_requested();
            return 0;
        }
        const std::uint32_t nLevel = m_Levels.front();
        m_Levels.pop_front();
        return nLevel;
    }
    bool CanTransmit() const override { return m_bPresent; }
    void Transmit(std::uint32_t nItem) override
    {
        std::scoped_lock lock(m_Lock);
        m_Sent.push_back(nItem);
    }

    // Runs one read slot per level, and returns once the loop has done with them all and waits
    // for the next.
    void Step(const std::vector<std::uint32_t>& levels)
    {
        std::unique_lock lock(m_Lock);
        m_Levels.insert(m_Levels.end(), levels.begin(), levels.end());
        m_Changed.notify_all();
        m_Changed.wait_for(lock, 10s, [this] { return m_Levels.empty() && m_bReading; });
    }
    // Waits until the loop sits in a read.
    void WaitForRead() { Step({}); }
    void SetPresent(bool bPresent) { m_bPresent = bPresent; }

    std::vector<std::uint32_t> GetSent()
    {
        std::scoped_lock lock(m_Lock);
        return m_Sent;
    }
    bool WasWokenByStop()
    {
        std::scoped_lock lock(m_Lock);
        return m_bWokenByStop;
    }
    int GetReadsAfterStop()
    {
        std::scoped_lock lock(m_Lock);
        return m_nReadsAfterStop;
    }

private:
    const std::string m_strName = "stepped";
    std::atomic<bool> m_bPresent{true};
    std::mutex m_Lock;
    std::condition_variable_any m_Changed;
    std::deque<std::uint32_t> m_Levels;
    std::vector<std::uint32_t> m_Sent;
    bool m_bReading = false;
    bool m_bWokenByStop = false;
    int m_nReadsAfterStop = 0;
};

class SlotLoop : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto pPort = std::make_unique<CSteppedPort>();
        m_pPort = pPort.get();
        ASSERT_TRUE(m_Link.OpenPort(std::move(pPort)));
        m_pPort->WaitForRead();
    }

    CLinkQueues m_Queues;
    CSerialLink m_Link{m_Queues};
    CSteppedPort* m_pPort = nullptr; // the link's
};

TEST_F(SlotLoop, EachReadSlotQueuesItsLevelAndEverySecondSlotSendsOneItem)
{
    EXPECT_EQ("stepped", m_Link.GetPortName());
    EXPECT_FALSE(m_Link.IsDummyPort());
    PutTx(m_Queues, {6, 4, 0, 0x1234506});
    m_pPort->Step({1, 2, 3, 4, 5, 6, 7});
    EXPECT_EQ((std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6, 7}), TakeRx(m_Queues));
    EXPECT_EQ((std::vector<std::uint32_t>{6, 4, 0}), m_pPort->GetSent());
    EXPECT_EQ(1u, TxCount(m_Queues));

    // The queue runs dry: a filler column keyed as the last item was, without its tone.
    m_pPort->Step({8, 9, 10});
    EXPECT_EQ((std::vector<std::uint32_t>{6, 4, 0, 0x1234506, 4}), m_pPort->GetSent());
    EXPECT_EQ(static_cast<std::size_t>(TxItems::kColumnItems - 1), TxCount(m_Queues));
}

TEST_F(SlotLoop, APortThatCannotTakeAnItemLeavesTheQueueAsItIs)
{
    PutTx(m_Queues, {6, 6, 4});
    m_pPort->SetPresent(false);
    m_pPort->Step(std::vector<std::uint32_t>(9, 0));
    EXPECT_EQ(CSerialLink::EState::Lost, m_Link.GetState());
    EXPECT_TRUE(m_pPort->GetSent().empty());
    EXPECT_EQ(3u, TxCount(m_Queues));
    // Reading goes on meanwhile.
    EXPECT_EQ(9u, TakeRx(m_Queues).size());

    // Back, it takes the waiting items in order, one every second slot as before (the next
    // transmit slot is the tenth).
    m_pPort->SetPresent(true);
    m_pPort->Step({0, 0, 0});
    EXPECT_EQ((std::vector<std::uint32_t>{6, 6}), m_pPort->GetSent());
    EXPECT_EQ(1u, TxCount(m_Queues));
}

TEST_F(SlotLoop, AStopWakesTheReadThatWaitsAndEndsTheLoopWithinItsSlot)
{
    m_pPort->Step({1, 2, 3});
    m_Link.StopIoThread();
    EXPECT_FALSE(m_Link.IsIoThreadAlive());
    EXPECT_TRUE(m_pPort->WasWokenByStop());
    EXPECT_EQ(0, m_pPort->GetReadsAfterStop());
    // The port stays selected, and a new run reads from it again.
    EXPECT_EQ("stepped", m_Link.GetPortName());
    TakeRx(m_Queues);
    ASSERT_TRUE(m_Link.StartIoThread(0));
    m_pPort->Step({42});
    EXPECT_EQ(std::vector<std::uint32_t>{42}, TakeRx(m_Queues));
}
} // namespace
