#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

// The transmit bytes that Skrivel has written and the board has not yet played, one per pixel.
// Skrivel writes one byte for every two level bytes it reads, so the queue stays short; when it
// runs dry the board keeps the transmitter keyed as it was, without tone, and unkeys after a
// second without a byte (the program stopped or closed the port), as a real transmitter's
// watchdog would. Bytes that only say "receive" carry nothing but time, so a backlog of them
// (the program reading stale level bytes at full speed after reopening the port) is dropped
// to keep the transmit delay short.
class CTxByteFifo
{
public:
    static constexpr int kWatchdogPixels = 245;
    static constexpr std::size_t kIdleSlack = 4;

    void Push(const std::uint8_t* pBytes, std::size_t nBytes);
    // The byte for the next pixel.
    std::uint8_t Pop();
    std::size_t GetCount() const { return m_Bytes.size(); }
    std::uint64_t GetUnderruns() const { return m_nUnderruns; }

private:
    std::deque<std::uint8_t> m_Bytes;
    std::uint8_t m_nLast = 0;
    int m_nStarved = 0;
    std::uint64_t m_nUnderruns = 0;
};
