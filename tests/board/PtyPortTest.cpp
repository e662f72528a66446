#include "board/PtyPort.h"
#include "board/TxByteFifo.h"
#include "link/SerialDevice.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace
{
std::string TempPath(const std::string& strName)
{
    return (std::filesystem::temp_directory_path() /
            ("skrivel-board-" + std::to_string(getpid()) + "-" + strName))
        .string();
}

// Reads up to n bytes from a device opened by the link, until a read times out.
std::vector<std::uint8_t> ReadBytes(int hDevice, std::size_t n)
{
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < n)
    {
        std::uint8_t b = 0;
        const SerialDevice::ReadResult result = SerialDevice::ReadByte(hDevice, b);
        if (result != SerialDevice::ReadResult::Byte)
            break;
        bytes.push_back(b);
    }
    return bytes;
}

int OpenLikeSkrivel(const std::string& strPath)
{
    int nError = 0;
    const int hDevice = SerialDevice::Open(strPath, nError);
    EXPECT_NE(hDevice, SerialDevice::kInvalid) << strPath << ": " << nError;
    return hDevice;
}
} // namespace

TEST(PtyPort, KeepsALinkToItsDeviceAndRemovesOnlyItsOwn)
{
    const std::string strLink = TempPath("link");
    std::filesystem::remove(strLink);
    std::filesystem::create_symlink("/dev/pts/999999", strLink); // left by a board that was killed
    {
        CPtyPort port;
        ASSERT_TRUE(port.Open()) << port.GetError();
        ASSERT_TRUE(port.SetLink(strLink)) << port.GetError();
        EXPECT_EQ(std::filesystem::read_symlink(strLink).string(), port.GetDevicePath());
        const int hDevice = OpenLikeSkrivel(strLink);
        EXPECT_TRUE(isatty(hDevice));
        SerialDevice::Close(hDevice);
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(strLink)));

    // Neither a link that no board made (it points outside /dev/pts/) nor a file is ever replaced.
    CPtyPort port;
    ASSERT_TRUE(port.Open());
    const std::string strOther = TempPath("someone-elses");
    std::filesystem::create_symlink(strOther, strLink);
    EXPECT_FALSE(port.SetLink(strLink));
    EXPECT_NE(port.GetError().find("which no board made"), std::string::npos) << port.GetError();
    EXPECT_EQ(std::filesystem::read_symlink(strLink).string(), strOther);
    std::filesystem::remove(strLink);

    std::ofstream(strLink) << "keep";
    EXPECT_FALSE(port.SetLink(strLink));
    EXPECT_FALSE(port.GetError().empty());
    EXPECT_TRUE(std::filesystem::is_regular_file(strLink));
    std::filesystem::remove(strLink);
}

TEST(PtyPort, PassesEveryByteValueUnchangedBothWays)
{
    CPtyPort port;
    ASSERT_TRUE(port.Open());
    const int hDevice = OpenLikeSkrivel(port.GetDevicePath());
    for (int i = 0; i < 256; ++i)
        port.WriteLevel(static_cast<std::uint8_t>(i));
    const std::vector<std::uint8_t> levels = ReadBytes(hDevice, 256);
    ASSERT_EQ(levels.size(), 256u);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(levels[static_cast<std::size_t>(i)], i);

    for (int i = 255; i >= 0; --i)
        SerialDevice::WriteByte(hDevice, static_cast<std::uint8_t>(i));
    CTxByteFifo fifo;
    for (int nTries = 0; fifo.GetCount() < 256 && nTries < 100; ++nTries)
    {
        pollfd wait{hDevice, 0, 0};
        poll(&wait, 1, 10);
        port.ReadTx(fifo);
    }
    ASSERT_EQ(fifo.GetCount(), 256u);
    for (int i = 255; i >= 0; --i)
        EXPECT_EQ(fifo.Pop(), i);
    SerialDevice::Close(hDevice);
}

TEST(PtyPort, StaysUsableAfterAProgramClosesOrDiesHoldingIt)
{
    CPtyPort port;
    ASSERT_TRUE(port.Open());
    for (int nRound = 0; nRound < 3; ++nRound)
    {
        EXPECT_FALSE(port.IsHeld());
        const int hDevice = OpenLikeSkrivel(port.GetDevicePath());
        EXPECT_TRUE(port.IsHeld()); // a recording to play starts now
        port.WriteLevel(static_cast<std::uint8_t>(100 + nRound));
        EXPECT_EQ(ReadBytes(hDevice, 1), std::vector<std::uint8_t>{static_cast<std::uint8_t>(100 + nRound)});
        SerialDevice::Close(hDevice);
    }

    // A program that dies leaves the terminal exclusive and perhaps cooked; once it has let go,
    // the board puts both right.
    int hDevice = open(port.GetDevicePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(hDevice, 0);
    ASSERT_EQ(flock(hDevice, LOCK_EX | LOCK_NB), 0);
    ioctl(hDevice, TIOCEXCL);
    termios cooked{};
    tcgetattr(hDevice, &cooked);
    cooked.c_lflag |= ICANON | ECHO;
    tcsetattr(hDevice, TCSANOW, &cooked);
    port.Maintain(); // still held: left alone
    int nExclusive = 0;
    ioctl(hDevice, TIOCGEXCL, &nExclusive);
    EXPECT_EQ(nExclusive, 1);
    close(hDevice);

    port.Maintain();
    hDevice = open(port.GetDevicePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(hDevice, 0);
    ioctl(hDevice, TIOCGEXCL, &nExclusive);
    EXPECT_EQ(nExclusive, 0);
    termios now{};
    tcgetattr(hDevice, &now);
    EXPECT_EQ(now.c_lflag & (ICANON | ECHO), 0u);
    close(hDevice);
}

TEST(PtyPort, ThrowsAwayLevelsNobodyReadsSoAReopenGetsFreshOnes)
{
    CPtyPort port;
    ASSERT_TRUE(port.Open());
    // In bursts with pauses, as the terminal takes a moment to pass written bytes to its reader.
    for (int i = 0; i < 3 * CPtyPort::kMaxBacklog; ++i)
    {
        port.WriteLevel(1);
        if (i % 100 == 99)
            usleep(10'000);
    }
    port.WriteLevel(2);
    EXPECT_GT(port.GetDiscarded(), 0u);
    const int hDevice = OpenLikeSkrivel(port.GetDevicePath());
    const std::vector<std::uint8_t> waiting = ReadBytes(hDevice, 4 * CPtyPort::kMaxBacklog);
    EXPECT_LE(waiting.size(), static_cast<std::size_t>(CPtyPort::kMaxBacklog) + 100);
    ASSERT_FALSE(waiting.empty());
    EXPECT_EQ(waiting.back(), 2);
    SerialDevice::Close(hDevice);
}
