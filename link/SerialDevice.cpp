#include "link/SerialDevice.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace
{
// Tenths of a second that a read waits for its one byte.
constexpr cc_t kReadTimeoutDeciseconds = SerialDevice::kReadTimeout.count() / 100;

int FailWith(int hDevice, int nError, int& nErrorOut)
{
    close(hDevice);
    nErrorOut = nError;
    return SerialDevice::kInvalid;
}

// Raw 8N1 at 19200 baud, no flow control of any kind, null bytes and breaks delivered as data.
// A device that refuses the settings is used as it is.
void ApplyLineSettings(int hDevice)
{
    termios settings{};
    if (tcgetattr(hDevice, &settings) != 0)
        return;
    cfmakeraw(&settings);
    settings.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK | IGNBRK | BRKINT);
    settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CREAD | CLOCAL;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = kReadTimeoutDeciseconds;
    cfsetispeed(&settings, B19200);
    cfsetospeed(&settings, B19200);
    tcsetattr(hDevice, TCSANOW, &settings);
}
} // namespace

int SerialDevice::Open(const std::string& strPath, int& nError)
{
    // Non-blocking only while opening, so that a missing carrier cannot hold up the open.
    const int hDevice = open(strPath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (hDevice < 0)
    {
        nError = errno;
        return kInvalid;
    }
    if (!isatty(hDevice))
        return FailWith(hDevice, ENOTTY, nError);
    // The lock comes first: a device held by someone else must be left exactly as it was.
    if (flock(hDevice, LOCK_EX | LOCK_NB) != 0)
        return FailWith(hDevice, errno == EWOULDBLOCK ? EBUSY : errno, nError);
    ioctl(hDevice, TIOCEXCL);
    ApplyLineSettings(hDevice);
    // Pseudo-terminals have no modem lines; that is no reason to refuse them.
    const int nLines = TIOCM_DTR | TIOCM_RTS;
    ioctl(hDevice, TIOCMBIS, &nLines);
    fcntl(hDevice, F_SETFL, fcntl(hDevice, F_GETFL) & ~O_NONBLOCK);
    return hDevice;
}

void SerialDevice::Close(int hDevice)
{
    ioctl(hDevice, TIOCNXCL);
    close(hDevice);
}

SerialDevice::ReadResult SerialDevice::ReadByte(int hDevice, std::uint8_t& nByte)
{
    const ssize_t nRead = read(hDevice, &nByte, 1);
    if (nRead == 1)
        return ReadResult::Byte;
    if (nRead < 0 && errno != EINTR && errno != EAGAIN)
        return ReadResult::Lost;
    // A hung-up terminal reads as empty at once, forever; only poll tells it from a time-out.
    pollfd state{hDevice, POLLIN, 0};
    if (poll(&state, 1, 0) > 0 && (state.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
        return ReadResult::Lost;
    return ReadResult::Nothing;
}

void SerialDevice::WriteByte(int hDevice, std::uint8_t nByte)
{
    // A line without flow control always drains; a device that takes nothing for a whole read
    // time-out (a stuck simulator) loses the byte rather than the thread, which must stay
    // stoppable.
    pollfd state{hDevice, POLLOUT, 0};
    if (poll(&state, 1, static_cast<int>(kReadTimeout.count())) <= 0 || (state.revents & POLLOUT) == 0)
        return;
    while (write(hDevice, &nByte, 1) < 0 && errno == EINTR)
    {
    }
}
