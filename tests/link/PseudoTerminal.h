#pragma once

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

// A pseudo-terminal whose slave stands in for the serial device and whose master plays the
// board. The master is non-blocking; the pair keeps its own slave descriptor open, so the
// terminal lives on while the link closes and reopens the slave.
class CPseudoTerminal
{
public:
    CPseudoTerminal()
    {
        char szName[256] = {};
        if (openpty(&m_hMaster, &m_hSlave, szName, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        m_strSlavePath = szName;
        fcntl(m_hMaster, F_SETFL, fcntl(m_hMaster, F_GETFL) | O_NONBLOCK);
        fcntl(m_hMaster, F_SETFD, FD_CLOEXEC);
        fcntl(m_hSlave, F_SETFD, FD_CLOEXEC);
    }
    ~CPseudoTerminal()
    {
        CloseMaster();
        close(m_hSlave);
    }
    CPseudoTerminal(const CPseudoTerminal&) = delete;
    CPseudoTerminal& operator=(const CPseudoTerminal&) = delete;

    const std::string& GetSlavePath() const { return m_strSlavePath; }
    int GetSlave() const { return m_hSlave; }
    int GetMaster() const { return m_hMaster; }

    // Bytes sent before the link has configured the terminal arrive unchanged, without echo.
    void MakeRaw() const
    {
        termios settings{};
        tcgetattr(m_hSlave, &settings);
        cfmakeraw(&settings);
        tcsetattr(m_hSlave, TCSANOW, &settings);
    }

    // The board hangs up: the slave's reads fail from now on.
    void CloseMaster()
    {
        if (m_hMaster >= 0)
            close(m_hMaster);
        m_hMaster = -1;
    }

    // The board sends; waits while the terminal's buffer is full.
    void Write(const std::vector<std::uint8_t>& bytes) const
    {
        std::size_t nDone = 0;
        while (nDone < bytes.size())
        {
            const ssize_t n = write(m_hMaster, bytes.data() + nDone, bytes.size() - nDone);
            if (n > 0)
                nDone += static_cast<std::size_t>(n);
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                throw std::runtime_error("write to the pseudo-terminal failed");
            else
                WaitFor(POLLOUT, 100);
        }
    }

    // One byte if the terminal has room for it; a full buffer drops it, as an overrun would.
    void TryWrite(std::uint8_t nByte) const
    {
        [[maybe_unused]] const ssize_t n = write(m_hMaster, &nByte, 1);
    }

    // What the link has sent: waits up to timeout until nCount bytes have come, returns what came.
    std::vector<std::uint8_t> Read(std::size_t nCount, std::chrono::milliseconds timeout) const
    {
        std::vector<std::uint8_t> bytes;
        const auto tEnd = std::chrono::steady_clock::now() + timeout;
        while (bytes.size() < nCount)
        {
            std::uint8_t buffer[256];
            const ssize_t n = read(m_hMaster, buffer, std::min(sizeof buffer, nCount - bytes.size()));
            if (n > 0)
            {
                bytes.insert(bytes.end(), buffer, buffer + n);
                continue;
            }
            const auto tNow = std::chrono::steady_clock::now();
            if (tNow >= tEnd)
                break;
            WaitFor(POLLIN, std::chrono::duration_cast<std::chrono::milliseconds>(tEnd - tNow).count() + 1);
        }
        return bytes;
    }

private:
    void WaitFor(short nEvents, long nMilliseconds) const
    {
        pollfd state{m_hMaster, nEvents, 0};
        poll(&state, 1, static_cast<int>(nMilliseconds));
    }

    int m_hMaster = -1;
    int m_hSlave = -1;
    std::string m_strSlavePath;
};
