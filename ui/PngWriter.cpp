#include "ui/PngWriter.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace
{
constexpr std::size_t kOutBytes = 1 << 16; // one IDAT chunk's worth
constexpr std::uint8_t kFilterUp = 2;     // each byte less the one above it
constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

void PutBigEndian(std::uint8_t* p, std::uint32_t n)
{
    p[0] = static_cast<std::uint8_t>(n >> 24);
    p[1] = static_cast<std::uint8_t>(n >> 16);
    p[2] = static_cast<std::uint8_t>(n >> 8);
    p[3] = static_cast<std::uint8_t>(n);
}
} // namespace

CPngWriter::CPngWriter(int fd, int nWidth, int nHeight, EColour nColour)
    : m_fd(fd), m_nRowBytes(static_cast<std::size_t>(nWidth) * (nColour == EColour::Rgb ? 3 : 1)),
      m_Previous(m_nRowBytes, 0), m_Filtered(m_nRowBytes + 1, 0)
{
    m_Out.reserve(kOutBytes);
    if (deflateInit(&m_Stream, Z_BEST_SPEED) != Z_OK)
        m_nError = ENOMEM;
    WriteAll(kSignature, sizeof kSignature);
    // Width, height, 8 bits a sample, the colour type, deflate, adaptive filtering, no interlace.
    std::array<std::uint8_t, 13> header{};
    PutBigEndian(&header[0], static_cast<std::uint32_t>(nWidth));
    PutBigEndian(&header[4], static_cast<std::uint32_t>(nHeight));
    header[8] = 8;
    header[9] = nColour == EColour::Rgb ? 2 : 0;
    WriteChunk("IHDR", header.data(), header.size());
}

CPngWriter::~CPngWriter()
{
    deflateEnd(&m_Stream);
}

void CPngWriter::AddRow(const std::uint8_t* pRow)
{
    m_Filtered[0] = kFilterUp;
    for (std::size_t i = 0; i < m_nRowBytes; ++i)
        m_Filtered[i + 1] = static_cast<std::uint8_t>(pRow[i] - m_Previous[i]);
    std::memcpy(m_Previous.data(), pRow, m_nRowBytes);
    m_Stream.next_in = m_Filtered.data();
    m_Stream.avail_in = static_cast<uInt>(m_Filtered.size());
    Deflate(Z_NO_FLUSH);
}

int CPngWriter::Finish()
{
    Deflate(Z_FINISH);
    WriteChunk("IDAT", m_Out.data(), m_Out.size());
    m_Out.clear();
    WriteChunk("IEND", nullptr, 0);
    return m_nError;
}

void CPngWriter::Deflate(int nFlush)
{
    for (;;)
    {
        const std::size_t nHeld = m_Out.size();
        m_Out.resize(kOutBytes);
        m_Stream.next_out = m_Out.data() + nHeld;
        m_Stream.avail_out = static_cast<uInt>(kOutBytes - nHeld);
        const int nResult = deflate(&m_Stream, nFlush);
        m_Out.resize(kOutBytes - m_Stream.avail_out);
        if (m_Out.size() == kOutBytes)
        {
            WriteChunk("IDAT", m_Out.data(), m_Out.size());
            m_Out.clear();
            continue; // the compressor may hold more
        }
        // Room left over: all input taken, and at Z_FINISH the stream ended.
        if (nFlush != Z_FINISH || nResult != Z_OK)
            return;
    }
}

void CPngWriter::WriteChunk(const char* pszType, const std::uint8_t* pData, std::size_t nBytes)
{
    std::array<std::uint8_t, 8> head{};
    PutBigEndian(&head[0], static_cast<std::uint32_t>(nBytes));
    std::memcpy(&head[4], pszType, 4);
    uLong nCrc = crc32(0, &head[4], 4);
    if (nBytes > 0)
        nCrc = crc32(nCrc, pData, static_cast<uInt>(nBytes));
    std::array<std::uint8_t, 4> tail{};
    PutBigEndian(tail.data(), static_cast<std::uint32_t>(nCrc));
    WriteAll(head.data(), head.size());
    WriteAll(pData, nBytes);
    WriteAll(tail.data(), tail.size());
}

void CPngWriter::WriteAll(const std::uint8_t* pData, std::size_t nBytes)
{
    while (nBytes > 0 && m_nError == 0)
    {
        const ssize_t nWritten = ::write(m_fd, pData, nBytes);
        if (nWritten < 0 && errno == EINTR)
            continue;
        if (nWritten <= 0)
        {
            m_nError = nWritten < 0 ? errno : EIO;
            return;
        }
        pData += nWritten;
        nBytes -= static_cast<std::size_t>(nWritten);
    }
}
