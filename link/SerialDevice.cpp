#include "link/SerialDevice.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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

// A device number as /proc/<pid>/stat writes a controlling terminal (its tty_nr field).
unsigned EncodeTerminal(dev_t device)
{
    const unsigned nMajor = major(device);
    const unsigned nMinor = minor(device);
    return (nMinor & 0xFFu) | (nMajor << 8) | ((nMinor & ~0xFFu) << 12);
}

// The controlling terminal of the process named pszPid, encoded as tty_nr; 0 for none or when
// the process has gone.
unsigned ReadControllingTerminal(const char* pszPid)
{
    const std::string strPath = std::string("/proc/") + pszPid + "/stat";
    const int hFile = open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (hFile < 0)
        return 0;
    char szStat[1024];
    const ssize_t nRead = read(hFile, szStat, sizeof szStat - 1);
    close(hFile);
    if (nRead <= 0)
        return 0;
    szStat[nRead] = '\0';
    // The command name, in parentheses, may hold anything: the fields count from the last ')'.
    const char* pFields = std::strrchr(szStat, ')');
    int nTerminal = 0;
    if (pFields == nullptr || std::sscanf(pFields + 1, " %*c %*d %*d %*d %d", &nTerminal) != 1)
        return 0;
    return static_cast<unsigned>(nTerminal);
}

// Whether any process has the terminal as its controlling terminal. From outside its session
// only /proc tells: TIOCGSID answers for the caller's own terminal alone. Without /proc nothing
// can be told, and the owner check is all there is.
bool IsControllingTerminal(dev_t device)
{
    DIR* pProc = opendir("/proc");
    if (pProc == nullptr)
        return false;
    const unsigned nWanted = EncodeTerminal(device);
    bool bFound = false;
    while (const dirent* pEntry = readdir(pProc))
    {
        if (std::isdigit(static_cast<unsigned char>(pEntry->d_name[0])) != 0 &&
            ReadControllingTerminal(pEntry->d_name) == nWanted)
        {
            bFound = true;
            break;
        }
    }
    closedir(pProc);
    return bFound;
}

// 0 when the device may be the board, else why not. A stale name (a board that died and left
// its link) may by now name another user's terminal or a shell's: neither is ever taken over.
int CheckClaim(int hDevice)
{
    struct stat info
    {
    };
    if (fstat(hDevice, &info) != 0)
        return errno;
    if (info.st_uid != geteuid() && info.st_uid != 0)
        return SerialDevice::kOwnedByAnotherUser;
    if (IsControllingTerminal(info.st_rdev))
        return SerialDevice::kControllingTerminal;
    return 0;
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
    // Before anything is changed, even the lock: a refused device is left exactly as it was.
    if (const int nRefusal = CheckClaim(hDevice); nRefusal != 0)
        return FailWith(hDevice, nRefusal, nError);
    // The lock comes next: a device held by someone else must be left exactly as it was.
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
