#include "engine/Archive.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace
{
constexpr std::size_t kBufferSize = 1 << 16;
// Reads of at least this size bypass the buffer.
constexpr std::size_t kDirectReadSize = 4096;
} // namespace

CArchive::CArchive(int fd, Mode mode) : m_fd(fd), m_Mode(mode), m_Buffer(kBufferSize) {}

CArchive::~CArchive()
{
    if (IsStoring())
        Flush();
}

void CArchive::Write(const std::uint8_t* pData, std::size_t nBytes)
{
    while (nBytes > 0 && m_nError == 0)
    {
        if (m_nBuffered == m_Buffer.size())
            Flush();
        const std::size_t nRun = std::min(nBytes, m_Buffer.size() - m_nBuffered);
        std::memcpy(m_Buffer.data() + m_nBuffered, pData, nRun);
        m_nBuffered += nRun;
        pData += nRun;
        nBytes -= nRun;
    }
}

void CArchive::Flush()
{
    std::size_t nDone = 0;
    while (nDone < m_nBuffered && m_nError == 0)
    {
        const ssize_t n = ::write(m_fd, m_Buffer.data() + nDone, m_nBuffered - nDone);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            m_nError = n < 0 ? errno : EIO;
        else
            nDone += static_cast<std::size_t>(n);
    }
    m_nBuffered = 0;
}

std::size_t CArchive::Read(std::uint8_t* pData, std::size_t nBytes)
{
    std::size_t nDone = 0;
    while (nDone < nBytes && m_nError == 0)
    {
        if (m_nConsumed == m_nBuffered)
        {
            // Large requests go straight into the caller's memory.
            std::uint8_t* pTarget = nBytes - nDone >= kDirectReadSize ? pData + nDone : m_Buffer.data();
            const std::size_t nWant = pTarget == m_Buffer.data() ? m_Buffer.size() : nBytes - nDone;
            const ssize_t n = ::read(m_fd, pTarget, nWant);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
            {
                m_nError = errno;
                break;
            }
            if (n == 0)
                break;
            if (pTarget != m_Buffer.data())
            {
                nDone += static_cast<std::size_t>(n);
                continue;
            }
            m_nBuffered = static_cast<std::size_t>(n);
            m_nConsumed = 0;
        }
        const std::size_t nRun = std::min(nBytes - nDone, m_nBuffered - m_nConsumed);
        std::memcpy(pData + nDone, m_Buffer.data() + m_nConsumed, nRun);
        m_nConsumed += nRun;
        nDone += nRun;
    }
    return nDone;
}
