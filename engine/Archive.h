#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A buffered byte stream over an open file descriptor, in one direction: storing writes to the
// file, loading reads from it. A failure is remembered as an errno value; after one, every further
// call does nothing.
class CArchive
{
public:
    enum class Mode
    {
        Store,
        Load
    };

    CArchive(int fd, Mode mode);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const { return m_Mode == Mode::Store; }

    void Write(const std::uint8_t* pData, std::size_t nBytes);
    // Reads up to nBytes; fewer only at the end of the file or after an error.
    std::size_t Read(std::uint8_t* pData, std::size_t nBytes);
    // Writes out what is buffered (storing). Done by the destructor too, but only Flush reports.
    void Flush();

    // 0 while all went well, otherwise the errno of the first failure.
    int GetError() const { return m_nError; }

private:
    int m_fd;
    Mode m_Mode;
    int m_nError = 0;
    std::vector<std::uint8_t> m_Buffer;
    std::size_t m_nBuffered = 0; // storing: bytes waiting; loading: bytes read ahead
    std::size_t m_nConsumed = 0; // loading: read-ahead bytes already handed out
};
