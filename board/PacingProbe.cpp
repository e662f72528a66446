// Measures how well the board keeps its pace: runs a board on a pseudo-terminal for a while,
// reads its level bytes at the other end as a program would, and compares when they arrived
// with when 490 bytes a second should have, on the monotonic clock.
#include "board/BoardEngine.h"
#include "board/BoardRunner.h"
#include "board/PacedClock.h"
#include "board/PtyPort.h"
#include "engine/HellFont.h"
#include "modem/FeldHellRates.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv)
{
    const double dSeconds = argc > 1 ? std::atof(argv[1]) : 600.0;
    CHellFont font;
    CBoardEngine engine(CBoardSettings{}, font);
    CPtyPort port;
    if (!port.Open())
    {
        std::fprintf(stderr, "skrivel-board-pacing: %s\n", port.GetError().c_str());
        return 1;
    }
    const int hDevice = open(port.GetDevicePath().c_str(), O_RDWR | O_NOCTTY);
    CBoardRunner runner(engine, {&port});
    std::atomic<bool> bStop{false};
    std::thread board([&] { runner.Run(bStop); });

    // Least squares line through (byte number, arrival time): its slope is the real byte period.
    double dSn = 0, dSt = 0, dSnn = 0, dSnt = 0;
    std::int64_t nBytes = 0;
    std::int64_t nFirstNs = 0;
    double dWorstNs = 0; // the largest distance of an arrival from its place on the ideal grid
    const std::int64_t nEndNs = CPacedClock::NowNs() + static_cast<std::int64_t>(dSeconds * 1e9);
    std::uint8_t buffer[64];
    while (CPacedClock::NowNs() < nEndNs)
    {
        pollfd wait{hDevice, POLLIN, 0};
        if (poll(&wait, 1, 100) <= 0)
            continue;
        const ssize_t nRead = read(hDevice, buffer, sizeof buffer);
        const std::int64_t nNow = CPacedClock::NowNs();
        for (ssize_t i = 0; i < nRead; ++i, ++nBytes)
        {
            if (nBytes == 0)
                nFirstNs = nNow;
            const double n = static_cast<double>(nBytes);
            const double t = static_cast<double>(nNow - nFirstNs);
            dSn += n, dSt += t, dSnn += n * n, dSnt += n * t;
            dWorstNs = std::max(dWorstNs, std::abs(t - n * 1e9 / FeldHellRates::kLevelRate));
        }
    }
    bStop = true;
    board.join();
    close(hDevice);
    const double dN = static_cast<double>(nBytes);
    const double dPeriodNs = (dN * dSnt - dSn * dSt) / (dN * dSnn - dSn * dSn);
    const double dPpm = (1e9 / FeldHellRates::kLevelRate / dPeriodNs - 1.0) * 1e6;
    std::printf(
        "%.0f s: %lld level bytes, %.3f a second, rate error %+.2f ppm; the worst byte arrived %.2f ms off "
        "its place; the board woke at most %.2f ms late\n",
        dSeconds, static_cast<long long>(nBytes), 1e9 / dPeriodNs, dPpm, dWorstNs / 1e6,
        static_cast<double>(runner.GetStats().m_nMaxLateNs) / 1e6);
    return 0;
}
