// The software board's engine (transmitters, channel, receivers) and the picture reader.
#include "board/BoardEngine.h"
#include "board/HellReader.h"
#include "engine/HellFont.h"

#include <benchmark/benchmark.h>

namespace
{
const CHellFont& Font()
{
    static const CHellFont font = []
    {
        CHellFont f;
        f.Load(CHellFont::Resolve("hellfont.hlf", CHellFont::GetDataDirs()));
        return f;
    }();
    return font;
}

// One second of signal per iteration: the counter is seconds of signal per second of CPU.
void RunSeconds(benchmark::State& state, const CBoardSettings& settings)
{
    CBoardEngine engine(settings, Font());
    std::vector<std::uint8_t> tx(static_cast<std::size_t>(engine.GetBoardCount()), 6);
    std::vector<CBoardEngine::Levels> levels(tx.size());
    for (auto _ : state)
        for (int n = 0; n < 245; ++n)
        {
            engine.StepPixel(tx, levels);
            benchmark::DoNotOptimize(levels.data());
        }
    state.counters["x_real_time"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_BoardRemoteInNoiseAndFading(benchmark::State& state)
{
    CBoardSettings settings;
    settings.m_strRemoteText = "CQ CQ DE SIM";
    settings.m_SnrDb = 0.0;
    settings.m_dFadeHz = 0.5;
    RunSeconds(state, settings);
}
BENCHMARK(BM_BoardRemoteInNoiseAndFading);

void BM_BoardPairBothKeyedInNoise(benchmark::State& state)
{
    CBoardSettings settings;
    settings.m_bPair = true;
    settings.m_SnrDb = 0.0;
    RunSeconds(state, settings);
}
BENCHMARK(BM_BoardPairBothKeyedInNoise);

// Reading a picture of 100 characters, received from a remote station at 0 dB.
void BM_ReaderHundredCells(benchmark::State& state)
{
    CBoardSettings settings;
    settings.m_strRemoteText = "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 0123456789";
    settings.m_SnrDb = 0.0;
    CBoardEngine engine(settings, Font());
    const std::vector<std::uint8_t> picture = engine.RunReceiving(100 * 98);
    const CHellReader reader(Font());
    for (auto _ : state)
        benchmark::DoNotOptimize(reader.Read(picture));
}
BENCHMARK(BM_ReaderHundredCells)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
