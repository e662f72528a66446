#include "link/LinkQueues.h"
#include "link/PortName.h"
#include "link/SerialLink.h"
#include "tests/link/BoardFeeder.h"
#include "tests/link/LinkTestUtil.h"
#include "tests/link/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
using namespace std::chrono_literals;

TEST(LinkCycle, ThousandsOfDummyStartsAndStops)
{
    CLinkQueues queues;
    CSerialLink link(queues);
    for (int i = 0; i < 2000; ++i)
    {
        ASSERT_TRUE(link.OpenPort(PortName::kDummy));
        // Every other stop comes before the new thread has run a single slot, the others after.
        if (i % 2 == 0)
            link.StopIoThread();
        else
        {
            LinkTest::TakeRx(queues);
            ASSERT_TRUE(LinkTest::WaitUntil([&] { return LinkTest::RxCount(queues) > 0; })) << i;
        }
        if (i % 3 == 0)
            link.ClosePort();
        LinkTest::TakeRx(queues);
    }
    link.StopIoThread();
    EXPECT_FALSE(link.IsIoThreadAlive());
    // Silence only, as nothing was sent with a tone: 0 before the first echo, 50 after.
    const std::vector<std::uint32_t> received = LinkTest::TakeRx(queues);
    EXPECT_TRUE(std::all_of(received.begin(), received.end(), [](std::uint32_t n) { return n == 0 || n == 50; }));
}

TEST(LinkCycle, ThousandOpensOfAPseudoTerminalAlternatingWithDummy)
{
    CPseudoTerminal terminal;
    terminal.MakeRaw();
    CBoardFeeder board(terminal, 200us, 77);
    CLinkQueues queues;
    CSerialLink link(queues);
    for (int i = 0; i < 1000; ++i)
    {
        ASSERT_TRUE(link.OpenPort(i % 4 == 3 ? std::string(PortName::kDummy) : terminal.GetSlavePath()))
            << i << ": " << link.GetOpenErrorText();
        LinkTest::TakeRx(queues);
    }
    ASSERT_TRUE(link.OpenPort(terminal.GetSlavePath()));
    LinkTest::TakeRx(queues);
    EXPECT_TRUE(LinkTest::WaitUntil(
        [&]
        {
            const std::vector<std::uint32_t> received = LinkTest::TakeRx(queues);
            return std::find(received.begin(), received.end(), 77u) != received.end();
        }));
    link.ClosePort();
}
} // namespace
