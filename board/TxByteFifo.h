#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

// The transmit bytes that Skrivel has written and the board has not yet played, one per pixel.
// Skrivel writes one byte for every two level bytes it reads, so the queue holds what the board
// keeps in hand: it plays nothing until kSlack bytes wait (at the start, and again after running
// dry), so that a program held up for a moment never leaves a gap in a character. While it waits
// or runs dry the transmitter stays keyed as it was, without tone, and unkeys after a second
// without a byte (the program stopped or closed the port), as a real transmitter's watchdog
// would. Bytes that only say "receive" carry nothing but time, so a backlog of them beyond the
// slack (a program reading stale level bytes at full speed after reopening the port) is dropped.
class CTxByteFifo
{
public:
    static constexpr int kWatchdogPixels = 245;
    static constexpr std::size_t kSlack = 8; // 33 ms
    static constexpr std::size_t kIdleBacklog = 2 * kSlack;

    void Push(const std::uint8_t* pBytes, std::size_t nBytes);
    // The byte for the next pixel.
    std::uint8_t Pop();
    std::size_t GetCount() const { return m_Bytes.size(); }

private:
    std::deque<std::uint8_t> m_Bytes;
    std::uint8_t m_nLast = 0;
    bool m_bFilling = true; // waiting for kSlack bytes before playing
    int m_nStarved = 0;
};
