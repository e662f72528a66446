#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// Writes a PNG image to a file row by row, so that a picture of any height goes out without being
// held in memory whole: 8-bit grey or RGB, each row filtered against the one above it (identical
// rows, as a zoomed picture has, cost next to nothing) and deflated.
class CPngWriter
{
public:
    enum class EColour
    {
        Grey,
        Rgb,
    };

    // Writes the file's header at once. fd stays the caller's.
    CPngWriter(int fd, int nWidth, int nHeight, EColour nColour);
    ~CPngWriter();
    CPngWriter(const CPngWriter&) = delete;
    CPngWriter& operator=(const CPngWriter&) = delete;

    // The next row: nWidth grey bytes, or nWidth RGB triples.
    void AddRow(const std::uint8_t* pRow);
    // Ends the image after its last row; 0 or the errno of the first write that failed.
    int Finish();

private:
    // Runs the compressor over what it has been given, writing every full output buffer.
    void Deflate(int nFlush);
    void WriteChunk(const char* pszType, const std::uint8_t* pData, std::size_t nBytes);
    void WriteAll(const std::uint8_t* pData, std::size_t nBytes);

    int m_fd;
    std::size_t m_nRowBytes;
    z_stream m_Stream{};
    std::vector<std::uint8_t> m_Previous; // the row above, zero for the first
    std::vector<std::uint8_t> m_Filtered; // the filter type and the filtered row
    std::vector<std::uint8_t> m_Out;      // compressed data not yet written
    int m_nError = 0;
};
