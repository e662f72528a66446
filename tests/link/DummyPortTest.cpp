#include "link/LinkQueues.h"
#include "link/PortName.h"
#include "link/SerialLink.h"
#include "tests/link/LinkTestUtil.h"

#include <gtest/gtest.h>

namespace
{
using LinkTest::PutTx;
using LinkTest::TakeRx;
using LinkTest::TakeRxAtLeast;
using LinkTest::TakeTx;

std::vector<std::uint32_t> Prefix(const std::vector<std::uint32_t>& items, std::size_t nCount)
{
    return {items.begin(), items.begin() + static_cast<std::ptrdiff_t>(std::min(nCount, items.size()))};
}

TEST(DummyPort, EchoesTheToneOneTransmitSlotLateAndOpensNothing)
{
    CLinkQueues queues;
    CSerialLink link(queues);
    const int nDescriptors = LinkTest::CountOpenDescriptors();
    PutTx(queues, {6, 4, 0, 6});
    ASSERT_TRUE(link.OpenPort(PortName::kDummy));
    EXPECT_TRUE(link.IsDummyPort());
    EXPECT_EQ("DUMMY", link.GetPortName());
    const std::vector<std::uint32_t> received = TakeRxAtLeast(queues, 14);
    EXPECT_EQ(nDescriptors, LinkTest::CountOpenDescriptors());
    link.ClosePort();
    // The last item was marked, so the filler that follows is keyed and blank: 50.
    EXPECT_EQ((std::vector<std::uint32_t>{0, 0, 200, 200, 50, 50, 50, 50, 200, 200, 50, 50, 50, 50}),
              Prefix(received, 14));
    EXPECT_TRUE(link.GetPortName().empty());
    EXPECT_FALSE(link.IsDummyPort());
}

TEST(DummyPort, ReselectingStartsAFreshRun)
{
    CLinkQueues queues;
    CSerialLink link(queues);
    // Each run ends after a different number of slots, so that a slot counter carried over from
    // the last run would show as a sample out of step.
    for (std::size_t nRun = 0; nRun < 8; ++nRun)
    {
        SCOPED_TRACE(nRun);
        PutTx(queues, std::vector<std::uint32_t>(20, 6));
        ASSERT_TRUE(link.OpenPort(PortName::kDummy));
        const std::vector<std::uint32_t> received = TakeRxAtLeast(queues, 5 + nRun);
        link.StopIoThread();
        TakeRx(queues);
        TakeTx(queues);
        EXPECT_EQ((std::vector<std::uint32_t>{0, 0, 200, 200, 200}), Prefix(received, 5));
        EXPECT_FALSE(link.IsIoThreadAlive());
    }
}
} // namespace
