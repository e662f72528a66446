#include "link/LinkQueues.h"
#include "link/SerialLink.h"
#include "tests/link/BoardFeeder.h"
#include "tests/link/LinkTestUtil.h"
#include "tests/link/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <termios.h>

namespace
{
using namespace std::chrono_literals;
using LinkTest::TakeRx;

bool Contains(const std::vector<std::uint32_t>& items, std::uint32_t nItem)
{
    return std::find(items.begin(), items.end(), nItem) != items.end();
}

// Waits, after the board has hung up, until the link has read from the dead device: the second
// slot to end from now began after the hang-up.
bool WaitForLossNoticed(CLinkQueues& queues)
{
    TakeRx(queues);
    return LinkTest::WaitUntil([&] { return LinkTest::RxCount(queues) >= 2; });
}

TEST(LostDevice, HungUpBoardCostsNoCpuAndReadsAsSilence)
{
    CPseudoTerminal terminal;
    terminal.MakeRaw();
    CLinkQueues queues;
    CSerialLink link(queues);
    ASSERT_TRUE(link.OpenPort(terminal.GetSlavePath()));
    terminal.Write({1, 2, 3});
    LinkTest::TakeRxAtLeast(queues, 3);

    terminal.CloseMaster();
    TakeRx(queues);
    const auto tCpuBefore = link.GetIoThreadCpuTime();
    // Ten slots of silence, about two seconds with two looks for the device among them.
    ASSERT_TRUE(LinkTest::WaitUntil([&] { return LinkTest::RxCount(queues) >= 10; }, 10s));
    const auto tCpuUsed = link.GetIoThreadCpuTime() - tCpuBefore;
    EXPECT_TRUE(link.IsIoThreadAlive());
    EXPECT_EQ(terminal.GetSlavePath(), link.GetPortName());
    EXPECT_EQ(CSerialLink::EState::Lost, link.GetState());
    link.StopIoThread();
    EXPECT_FALSE(link.IsIoThreadAlive());
    const std::vector<std::uint32_t> received = TakeRx(queues);

    // A loop that spins on the dead device would use the CPU all the while and queue samples by
    // the thousand before it is stopped.
    EXPECT_LT(tCpuUsed, 100ms);
    EXPECT_LE(received.size(), 12u);
    EXPECT_TRUE(std::all_of(received.begin(), received.end(), [](std::uint32_t n) { return n == 0; }));
}

TEST(LostDevice, LinkReopensTheDeviceWhenItComesBack)
{
    const std::filesystem::path dir = LinkTest::MakeScratchDir("skrivel-lost-device");
    const std::filesystem::path port = dir / "board";

    CPseudoTerminal first;
    std::filesystem::create_symlink(first.GetSlavePath(), port);
    CLinkQueues queues;
    CSerialLink link(queues);
    ASSERT_TRUE(link.OpenPort(port)) << link.GetOpenErrorText();
    first.CloseMaster();
    ASSERT_TRUE(WaitForLossNoticed(queues));

    // The adapter is plugged in again and comes back under the same name.
    CPseudoTerminal second;
    second.MakeRaw();
    LinkTest::PointLink(port, second.GetSlavePath());
    TakeRx(queues);
    CBoardFeeder board(second, 10ms, 0x5A);
    EXPECT_TRUE(LinkTest::WaitUntil([&] { return Contains(TakeRx(queues), 0x5A); }, 5s));
    EXPECT_TRUE(LinkTest::WaitUntil([&] { return board.GetReceived() > 0; }, 5s));

    // Configured and held as on the first open.
    termios settings{};
    ASSERT_EQ(0, tcgetattr(second.GetSlave(), &settings));
    EXPECT_EQ(B19200, cfgetospeed(&settings));
    EXPECT_EQ(2, settings.c_cc[VTIME]);
    CSerialLink other(queues);
    EXPECT_FALSE(other.OpenPort(second.GetSlavePath()));
    EXPECT_EQ(port, link.GetPortName());

    link.ClosePort();
    std::filesystem::remove_all(dir);
}

TEST(LostDevice, AConfiguredDeviceThatIsNotThereYetIsWaitedForAndTaken)
{
    const std::filesystem::path dir = LinkTest::MakeScratchDir("skrivel-awaited-device");
    const std::filesystem::path port = dir / "board";

    CLinkQueues queues;
    CSerialLink link(queues);
    EXPECT_FALSE(link.OpenOrAwaitPort(port));
    EXPECT_EQ(port, link.GetPortName());
    EXPECT_EQ(CSerialLink::EState::Waiting, link.GetState());
    EXPECT_EQ(ENOENT, link.GetDeviceError());
    LinkTest::PutTx(queues, std::vector<std::uint32_t>(40, 6));
    // Six silent slots: three transmit slots, and the device looked for again.
    ASSERT_TRUE(LinkTest::WaitUntil([&] { return LinkTest::RxCount(queues) >= 6; }, 10s));
    EXPECT_EQ(40u, LinkTest::TxCount(queues));
    const std::vector<std::uint32_t> received = TakeRx(queues);
    EXPECT_LE(received.size(), 12u); // silent slots of a full read time-out, no spinning
    EXPECT_TRUE(std::all_of(received.begin(), received.end(), [](std::uint32_t n) { return n == 0; }));

    // The board starts after the program.
    CPseudoTerminal terminal;
    terminal.MakeRaw();
    std::filesystem::create_symlink(terminal.GetSlavePath(), port);
    CBoardFeeder board(terminal, 2ms, 1);
    EXPECT_TRUE(LinkTest::WaitUntil([&] { return link.GetState() == CSerialLink::EState::Open; }));
    EXPECT_TRUE(LinkTest::WaitUntil([&] { return LinkTest::TxCount(queues) < 40; }));
    EXPECT_EQ(0, link.GetDeviceError());

    // An empty name waits for nothing.
    EXPECT_FALSE(link.OpenOrAwaitPort(""));
    EXPECT_EQ(CSerialLink::EState::NoPort, link.GetState());
    EXPECT_FALSE(link.IsIoThreadAlive());
    std::filesystem::remove_all(dir);
}

TEST(LostDevice, TransmitItemsWaitForTheDeviceToComeBack)
{
    const std::filesystem::path dir = LinkTest::MakeScratchDir("skrivel-lost-transmit");
    const std::filesystem::path port = dir / "board";

    auto pFirst = std::make_unique<CPseudoTerminal>();
    pFirst->MakeRaw();
    std::filesystem::create_symlink(pFirst->GetSlavePath(), port);
    CLinkQueues queues;
    CSerialLink link(queues);
    ASSERT_TRUE(link.OpenPort(port)) << link.GetOpenErrorText();
    LinkTest::PutTx(queues, std::vector<std::uint32_t>(40, 6));
    {
        CBoardFeeder board(*pFirst, 2ms, 1);
        ASSERT_TRUE(LinkTest::WaitUntil([&] { return board.GetReceived() >= 4; }));
    }
    pFirst->CloseMaster();
    ASSERT_TRUE(WaitForLossNoticed(queues));
    const std::size_t nWaiting = LinkTest::TxCount(queues);
    // Three transmit slots of a missing device: six slots, each a silent sample.
    TakeRx(queues);
    ASSERT_TRUE(LinkTest::WaitUntil([&] { return LinkTest::RxCount(queues) >= 6; }));
    EXPECT_EQ(LinkTest::TxCount(queues), nWaiting);
    EXPECT_GT(nWaiting, 0u);

    CPseudoTerminal second;
    second.MakeRaw();
    LinkTest::PointLink(port, second.GetSlavePath());
    CBoardFeeder board(second, 2ms, 1);
    EXPECT_TRUE(LinkTest::WaitUntil([&] { return LinkTest::TxCount(queues) < nWaiting; }, 5s));
    link.ClosePort();
    std::filesystem::remove_all(dir);
}
} // namespace
