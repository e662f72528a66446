#include "board/PacedClock.h"

#include <cerrno>
#include <ctime>

namespace
{
constexpr std::int64_t kNsPerSecond = 1'000'000'000;
}

CPacedClock::CPacedClock(int nTicks, int nSeconds)
    : m_nTicks(nTicks), m_nPeriodNs(nSeconds * kNsPerSecond), m_nStartNs(NowNs())
{
}

std::int64_t CPacedClock::NowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * kNsPerSecond + now.tv_nsec;
}

std::int64_t CPacedClock::GetDeadlineNs(std::int64_t nTick) const
{
    // Whole periods and the rest apart, so the product cannot overflow in any run's lifetime.
    return m_nStartNs + nTick / m_nTicks * m_nPeriodNs + nTick % m_nTicks * m_nPeriodNs / m_nTicks;
}

std::int64_t CPacedClock::WaitFor(std::int64_t nTick) const
{
    const std::int64_t nDeadline = GetDeadlineNs(nTick);
    const timespec due{static_cast<time_t>(nDeadline / kNsPerSecond),
                       static_cast<long>(nDeadline % kNsPerSecond)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr) == EINTR)
    {
    }
    return NowNs() - nDeadline;
}
