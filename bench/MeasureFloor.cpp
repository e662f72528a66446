// What the machine charges for the I/O thread's pattern of system calls with none of Skrivel's code
// around them: the floor under the CPU figures of measure_program (bench/README.md).
//   measure_floor SECONDS
// 1. A thread that sleeps 1 ms at a time, as the DUMMY port's read slots do.
// 2. A pseudo-terminal whose far side sends one byte every 1/490 s (the board's pace) and takes
//    what comes back; a thread reads it one byte at a time (VMIN=0, VTIME=2) and every second read
//    waits for room (poll) and writes one byte, as the link does. Once at normal priority, once at
//    SCHED_FIFO when the system grants it.
#include <poll.h>
#include <pthread.h>
#include <pty.h>
#include <sched.h>
#include <sys/resource.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>

namespace
{
using Clock = std::chrono::steady_clock;

constexpr auto kBoardPeriod = std::chrono::nanoseconds(1'000'000'000 / 490);

struct SThreadCost
{
    double tShare = 0;   // percent of one core
    double nWakeups = 0; // voluntary context switches a second
};

double ThreadCpuSeconds()
{
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
}

long VoluntarySwitches()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nvcsw;
}

// Runs step on a thread of its own until tSeconds have passed and tells what that thread cost.
SThreadCost RunThread(double tSeconds, bool bRealTime, const std::function<void()>& step)
{
    SThreadCost cost;
    std::thread worker(
        [&]
        {
            if (bRealTime)
            {
                sched_param param{};
                param.sched_priority = sched_get_priority_max(SCHED_FIFO);
                if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) != 0)
                {
                    cost.tShare = -1;
                    return;
                }
            }
            const auto tEnd = Clock::now() + std::chrono::duration<double>(tSeconds);
            const double tCpu = ThreadCpuSeconds();
            const long nSwitches = VoluntarySwitches();
            const auto tStart = Clock::now();
            while (Clock::now() < tEnd)
                step();
            const double tWall = std::chrono::duration<double>(Clock::now() - tStart).count();
            cost.tShare = 100.0 * (ThreadCpuSeconds() - tCpu) / tWall;
            cost.nWakeups = static_cast<double>(VoluntarySwitches() - nSwitches) / tWall;
        });
    worker.join();
    return cost;
}

void MakeRaw(int fd, cc_t nTimeout)
{
    termios settings{};
    tcgetattr(fd, &settings);
    cfmakeraw(&settings);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = nTimeout;
    tcsetattr(fd, TCSANOW, &settings);
}

SThreadCost PseudoTerminalReader(double tSeconds, bool bRealTime)
{
    int nMaster = -1;
    int nSlave = -1;
    if (openpty(&nMaster, &nSlave, nullptr, nullptr, nullptr) != 0)
    {
        std::perror("openpty");
        std::exit(1);
    }
    MakeRaw(nMaster, 0);
    MakeRaw(nSlave, 2);
    std::atomic<bool> bStop{false};
    std::thread board(
        [&]
        {
            auto tNext = Clock::now();
            const std::uint8_t nLevel = 100;
            std::uint8_t buffer[256];
            while (!bStop)
            {
                tNext += kBoardPeriod;
                std::this_thread::sleep_until(tNext);
                while (write(nMaster, &nLevel, 1) < 0 && errno == EINTR)
                {
                }
                pollfd state{nMaster, POLLIN, 0};
                while (poll(&state, 1, 0) > 0 && read(nMaster, buffer, sizeof buffer) > 0)
                {
                }
            }
        });
    int nSlot = 0;
    const SThreadCost cost = RunThread(tSeconds, bRealTime,
                                       [&]
                                       {
                                           std::uint8_t nByte = 0;
                                           if (read(nSlave, &nByte, 1) < 0)
                                               return;
                                           if (++nSlot < 2)
                                               return;
                                           nSlot = 0;
                                           pollfd state{nSlave, POLLOUT, 0};
                                           if (poll(&state, 1, 200) > 0)
                                               write(nSlave, &nByte, 1);
                                       });
    bStop = true;
    board.join();
    close(nSlave);
    close(nMaster);
    return cost;
}

void Print(const char* pszWhat, const SThreadCost& cost)
{
    if (cost.tShare < 0)
        std::printf("%-46s not granted\n", pszWhat);
    else
        std::printf("%-46s %5.2f %% of one core  %4.0f wake-ups/s\n", pszWhat, cost.tShare, cost.nWakeups);
}
} // namespace

int main(int argc, char* argv[])
{
    const double tSeconds = argc > 1 ? std::atof(argv[1]) : 20;
    if (tSeconds <= 0)
    {
        std::fprintf(stderr, "Usage: measure_floor SECONDS\n");
        return 2;
    }
    std::printf("%.0f s each, one thread\n", tSeconds);
    Print("1 ms sleeps (the DUMMY port's slots)",
          RunThread(tSeconds, false, [] { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }));
    Print("pty at 490 bytes/s, one-byte reads and writes", PseudoTerminalReader(tSeconds, false));
    Print("the same at SCHED_FIFO", PseudoTerminalReader(tSeconds, true));
    return 0;
}
