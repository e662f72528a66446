#include "board/PacedClock.h"
#include "modem/FeldHellRates.h"

#include <gtest/gtest.h>

TEST(PacedClock, DeadlinesAreExactMultiplesOfTheRateFromTheStart)
{
    const CPacedClock clock(FeldHellRates::kLevelRate);
    const std::int64_t nStart = clock.GetDeadlineNs(0);
    // Ten minutes, a day: tick n is due n / 490 s after the start to the nanosecond.
    for (const std::int64_t n : {1LL, 489LL, 490LL, 294'000LL, 42'336'000LL})
        EXPECT_EQ(clock.GetDeadlineNs(n) - nStart, n * 1'000'000'000LL / FeldHellRates::kLevelRate) << n;
    // Every step is the period rounded one way or the other: nothing piles up.
    for (std::int64_t n = 293'000; n < 294'000; ++n)
    {
        const std::int64_t nStep = clock.GetDeadlineNs(n + 1) - clock.GetDeadlineNs(n);
        ASSERT_TRUE(nStep == 2'040'816 || nStep == 2'040'817) << n;
    }
}

TEST(PacedClock, WakesAtOrAfterEachDeadlineOfTheMonotonicClock)
{
    const CPacedClock clock(FeldHellRates::kLevelRate);
    for (std::int64_t n = 0; n < 245; ++n)
    {
        const std::int64_t nLate = clock.WaitFor(n);
        ASSERT_GE(nLate, 0) << n;
        ASSERT_GE(CPacedClock::NowNs(), clock.GetDeadlineNs(n)) << n;
    }
    // A tick long past is not waited for.
    EXPECT_GT(clock.WaitFor(0), 0);
}
