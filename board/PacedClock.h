#pragma once

#include <cstdint>

// Ticks at a fixed rate (nTicks in nSeconds) on CLOCK_MONOTONIC. Tick n falls due at the start plus n / rate, worked
// out from n alone, so a late wake-up never carries into the next tick and nothing drifts however
// long it runs.
class CPacedClock
{
public:
    // Tick 0 is due now.
    explicit CPacedClock(int nTicks, int nSeconds = 1);

    static std::int64_t NowNs();
    // When tick nTick falls due, in nanoseconds of CLOCK_MONOTONIC.
    std::int64_t GetDeadlineNs(std::int64_t nTick) const;
    // Sleeps until tick nTick is due (at once when it is past); gives how late it woke, in ns.
    std::int64_t WaitFor(std::int64_t nTick) const;

private:
    std::int64_t m_nTicks;
    std::int64_t m_nPeriodNs; // of nTicks
    std::int64_t m_nStartNs;
};
