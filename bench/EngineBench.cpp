// The engine's costs side by side: the heartbeat storing received samples, the two encoders, and
// a day of receive data loaded and saved against a plain read of the same file.

#include "CountingRxDisplay.h"
#include "HeadlessDoc.h"

#include "engine/HellFont.h"
#include "doc/SkrivelDoc.h"
#include "engine/FeldHellEncoder.h"
#include "engine/MorseEncoder.h"
#include "link/ItemQueue.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace
{
// The engine alone, with a display that only counts.
struct CBenchDoc
{
    CCountingRxDisplay display;
    CHeadlessDoc headless{&display};
    CSkrivelDoc& doc = headless.doc;
};

void BM_HeartbeatStoresSamples(benchmark::State& state)
{
    CBenchDoc bench;
    const auto nSamples = static_cast<std::size_t>(state.range(0));
    std::vector<std::uint32_t> samples(nSamples);
    for (std::size_t i = 0; i < nSamples; ++i)
        samples[i] = static_cast<std::uint32_t>(i & 0xFF);
    for (auto _ : state)
    {
        bench.doc.GetQueues().AddRx(samples);
        bench.doc.Tick();
        if (bench.doc.m_RxStore.m_nRxPages > 1000)
        {
            state.PauseTiming();
            bench.doc.OnClearRx();
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(nSamples));
}
// A heartbeat after 20 ms holds about 10 samples; after a stall, up to the queue's cap.
BENCHMARK(BM_HeartbeatStoresSamples)->Arg(10)->Arg(10000);

void BM_EncodeFeldHellCharacter(benchmark::State& state)
{
    CHellFont font;
    for (std::size_t i = 0; i < font.m_HellFont.size(); i += 3)
        font.m_HellFont[i] = 1;
    CItemQueue queue;
    std::vector<std::uint32_t> items;
    for (auto _ : state)
    {
        FeldHellEncoder::AppendItems(font, 'W', queue);
        items.clear();
        queue.RemoveAll(items);
        benchmark::DoNotOptimize(items.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EncodeFeldHellCharacter);

void BM_EncodeMorseCharacter(benchmark::State& state)
{
    CItemQueue queue;
    std::vector<std::uint32_t> items;
    for (auto _ : state)
    {
        MorseEncoder::AppendItems('0', queue); // one of the two longest
        items.clear();
        queue.RemoveAll(items);
        benchmark::DoNotOptimize(items.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EncodeMorseCharacter);

// One day of reception at 490 samples a second.
constexpr std::size_t kDayBytes = 24ull * 3600 * 490;

const std::string& DayFile()
{
    static const std::string s_strPath = []
    {
        const std::string strPath = "/tmp/skrivel-bench-day-" + std::to_string(::getpid()) + ".hel";
        std::vector<char> data(kDayBytes);
        for (std::size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<char>((i * 31) >> 3);
        std::ofstream(strPath, std::ios::binary)
            .write(data.data(), static_cast<std::streamsize>(data.size()));
        std::atexit([] { std::remove(DayFile().c_str()); });
        return strPath;
    }();
    return s_strPath;
}

void BM_PlainReadOfADay(benchmark::State& state)
{
    std::vector<char> buffer(1 << 16);
    for (auto _ : state)
    {
        const int fd = ::open(DayFile().c_str(), O_RDONLY);
        std::size_t nTotal = 0;
        for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;)
            nTotal += static_cast<std::size_t>(n);
        ::close(fd);
        benchmark::DoNotOptimize(nTotal);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kDayBytes));
}
BENCHMARK(BM_PlainReadOfADay)->Unit(benchmark::kMillisecond);

// The same read into fresh memory that holds the whole file, as any loader that keeps the data
// must: this includes the kernel's cost of handing out 42 MB of new pages.
void BM_PlainReadOfADayIntoMemory(benchmark::State& state)
{
    for (auto _ : state)
    {
        std::unique_ptr<char[]> pData(new char[kDayBytes]);
        const int fd = ::open(DayFile().c_str(), O_RDONLY);
        std::size_t nTotal = 0;
        for (ssize_t n; (n = ::read(fd, pData.get() + nTotal, kDayBytes - nTotal)) > 0;)
            nTotal += static_cast<std::size_t>(n);
        ::close(fd);
        benchmark::DoNotOptimize(pData.get());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kDayBytes));
}
BENCHMARK(BM_PlainReadOfADayIntoMemory)->Unit(benchmark::kMillisecond);

void BM_LoadADay(benchmark::State& state)
{
    CBenchDoc bench;
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.doc.OnOpenDocument(DayFile()));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kDayBytes));
}
BENCHMARK(BM_LoadADay)->Unit(benchmark::kMillisecond);

void BM_SaveADay(benchmark::State& state)
{
    CBenchDoc bench;
    bench.doc.OnOpenDocument(DayFile());
    const std::string strOut = DayFile() + ".out";
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.doc.OnSaveDocument(strOut));
    std::remove(strOut.c_str());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kDayBytes));
}
BENCHMARK(BM_SaveADay)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
