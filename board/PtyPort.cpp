#include "board/PtyPort.h"

#include "board/TxByteFifo.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace
{
// Where every pseudo-terminal's device lives: a link that points there is a board's.
constexpr char kPtsDir[] = "/dev/pts/";

std::string ErrorText(const std::string& strWhat)
{
    return strWhat + ": " + std::strerror(errno);
}

// The target of a symbolic link; empty if it cannot be read.
std::string ReadLink(const std::string& strPath)
{
    char szTarget[PATH_MAX];
    const ssize_t n = readlink(strPath.c_str(), szTarget, sizeof szTarget - 1);
    return n > 0 ? std::string(szTarget, static_cast<std::size_t>(n)) : std::string();
}
} // namespace

CPtyPort::~CPtyPort()
{
    if (!m_strLink.empty())
    {
        // Only our own link: someone may have put another in its place meanwhile.
        if (ReadLink(m_strLink) == m_strDevice)
            unlink(m_strLink.c_str());
    }
    if (m_hSlave >= 0)
        close(m_hSlave);
    if (m_hMaster >= 0)
        close(m_hMaster);
}

bool CPtyPort::Open()
{
    m_hMaster = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_hMaster < 0 || grantpt(m_hMaster) != 0 || unlockpt(m_hMaster) != 0)
    {
        m_strError = ErrorText("Can't create a pseudo-terminal");
        return false;
    }
    char szName[PATH_MAX];
    if (ptsname_r(m_hMaster, szName, sizeof szName) != 0)
    {
        m_strError = ErrorText("Can't name the pseudo-terminal");
        return false;
    }
    m_strDevice = szName;
    m_hSlave = open(szName, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_hSlave < 0)
    {
        m_strError = ErrorText("Can't open " + m_strDevice);
        return false;
    }
    fcntl(m_hMaster, F_SETFL, fcntl(m_hMaster, F_GETFL) | O_NONBLOCK);
    MakeRaw();
    return true;
}

void CPtyPort::MakeRaw()
{
    termios settings{};
    if (tcgetattr(m_hSlave, &settings) != 0)
        return;
    termios raw = settings;
    // The read time-out belongs to whoever has the port open; only the byte handling is ours.
    cfmakeraw(&raw);
    raw.c_iflag &= ~(IXON | IXOFF | IXANY);
    raw.c_cc[VMIN] = settings.c_cc[VMIN];
    raw.c_cc[VTIME] = settings.c_cc[VTIME];
    cfsetspeed(&raw, B19200);
    if (std::memcmp(&raw, &settings, sizeof raw) != 0)
        tcsetattr(m_hSlave, TCSANOW, &raw);
}

bool CPtyPort::SetLink(const std::string& strPath)
{
    struct stat st
    {
    };
    if (lstat(strPath.c_str(), &st) == 0)
    {
        if (!S_ISLNK(st.st_mode))
        {
            m_strError = "Can't make the link " + strPath + ": a file that is not a link is in the way";
            return false;
        }
        // A board's link left behind by one that could not remove it is replaced; anyone else's is not.
        const std::string strTarget = ReadLink(strPath);
        if (strTarget.rfind(kPtsDir, 0) != 0)
        {
            m_strError = "Can't make the link " + strPath + ": a link to " + strTarget +
                         ", which no board made, is in the way";
            return false;
        }
        unlink(strPath.c_str());
    }
    if (symlink(m_strDevice.c_str(), strPath.c_str()) != 0)
    {
        m_strError = ErrorText("Can't make the link " + strPath);
        return false;
    }
    m_strLink = strPath;
    return true;
}

void CPtyPort::ReadTx(CTxByteFifo& fifo)
{
    std::uint8_t buffer[256];
    for (;;)
    {
        const ssize_t n = read(m_hMaster, buffer, sizeof buffer);
        if (n <= 0)
            return;
        fifo.Push(buffer, static_cast<std::size_t>(n));
    }
}

void CPtyPort::WriteLevel(std::uint8_t nLevel)
{
    int nWaiting = 0;
    if (ioctl(m_hSlave, FIONREAD, &nWaiting) == 0 && nWaiting > kMaxBacklog)
    {
        tcflush(m_hSlave, TCIFLUSH);
        m_nDiscarded += static_cast<std::uint64_t>(nWaiting);
    }
    if (write(m_hMaster, &nLevel, 1) != 1)
        ++m_nDiscarded;
}

void CPtyPort::Maintain()
{
    // Our own lock succeeds only when no program holds the port; while one does, its settings stand.
    if (flock(m_hSlave, LOCK_EX | LOCK_NB) != 0)
        return;
    MakeRaw();
    ioctl(m_hSlave, TIOCNXCL);
    flock(m_hSlave, LOCK_UN);
}

bool CPtyPort::IsHeld() const
{
    if (flock(m_hSlave, LOCK_EX | LOCK_NB) != 0)
        return true;
    flock(m_hSlave, LOCK_UN);
    return false;
}
