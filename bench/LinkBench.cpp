// The I/O thread's own CPU time per 1000 slots: on the DUMMY port (1 ms per slot) and on a
// pseudo-terminal whose board side sends at the line's full rate, 19200 baud = 1920 bytes/s, from
// a thread of its own. The reported time is the I/O thread's CPU time, not wall time.
#include "link/LinkQueues.h"
#include "link/PortName.h"
#include "link/SerialLink.h"
#include "tests/link/BoardFeeder.h"
#include "tests/link/PseudoTerminal.h"

#include <benchmark/benchmark.h>

#include <mutex>
#include <thread>

namespace
{
constexpr std::size_t kSlots = 1000;
constexpr auto kFullRatePeriod = std::chrono::nanoseconds(1'000'000'000 / 1920);

std::size_t TakeSamples(CLinkQueues& queues, std::vector<std::uint32_t>& buffer)
{
    buffer.clear();
    queues.TakeAllRx(buffer);
    return buffer.size();
}

// Each iteration lets the running link make 1000 slots (counted as queued samples) and reports
// the I/O thread's CPU time for them. Returns the wall time of the whole run.
std::chrono::duration<double> MeasureSlots(benchmark::State& state, CSerialLink& link, CLinkQueues& queues)
{
    std::vector<std::uint32_t> buffer;
    std::size_t nTotalSlots = 0;
    const auto tStart = std::chrono::steady_clock::now();
    for (auto _ : state)
    {
        TakeSamples(queues, buffer);
        const auto tCpuBefore = link.GetIoThreadCpuTime();
        std::size_t nSlots = 0;
        while (nSlots < kSlots)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            nSlots += TakeSamples(queues, buffer);
        }
        const std::chrono::duration<double> cpu = link.GetIoThreadCpuTime() - tCpuBefore;
        state.SetIterationTime(cpu.count() * kSlots / static_cast<double>(nSlots));
        nTotalSlots += nSlots;
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - tStart;
    state.counters["slots_per_s"] = static_cast<double>(nTotalSlots) / wall.count();
    return wall;
}

void BM_DummyPortCpuPer1000Slots(benchmark::State& state)
{
    CLinkQueues queues;
    CSerialLink link(queues);
    if (!link.OpenPort(PortName::kDummy))
    {
        state.SkipWithError("cannot open the DUMMY port");
        return;
    }
    MeasureSlots(state, link, queues);
}
BENCHMARK(BM_DummyPortCpuPer1000Slots)->UseManualTime()->Iterations(5)->Unit(benchmark::kMicrosecond);

void BM_PseudoTerminalAtFullRateCpuPer1000Slots(benchmark::State& state)
{
    CPseudoTerminal terminal;
    terminal.MakeRaw();
    CLinkQueues queues;
    CSerialLink link(queues);
    if (!link.OpenPort(terminal.GetSlavePath()))
    {
        state.SkipWithError(link.GetOpenErrorText().c_str());
        return;
    }
    CBoardFeeder board(terminal, kFullRatePeriod, 128);
    const std::chrono::duration<double> wall = MeasureSlots(state, link, queues);
    state.counters["bytes_out_per_s"] = static_cast<double>(board.GetReceived()) / wall.count();
}
BENCHMARK(BM_PseudoTerminalAtFullRateCpuPer1000Slots)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
