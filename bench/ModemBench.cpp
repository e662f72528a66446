// The receiver's cost per second of audio at the sound card's rate: without AFC, with AFC (the
// spectra and the search), and with the waterfall's lines made from the same spectra.
#include "modem/FeldHellReceiver.h"
#include "modem/WaterfallLines.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace
{
// A second of a keyed tone in noise, fed in the sound-card port's blocks of 20 ms.
void ReceiveSeconds(benchmark::State& state, bool bAfc, bool bWaterfall)
{
    std::vector<float> audio(8000);
    std::mt19937 rng(1);
    std::normal_distribution<float> noise(0.0f, 0.05f);
    for (std::size_t i = 0; i < audio.size(); ++i)
        audio[i] = ((i / 400) % 2 == 0 ? 0.5f : 0.0f) *
                       static_cast<float>(std::cos(2 * std::numbers::pi * 1100.0 * static_cast<double>(i) / 8000)) +
                   noise(rng);
    CFeldHellReceiver receiver;
    receiver.SetAfc(bAfc);
    CWaterfallLines lines(receiver.GetBinHz(), receiver.GetBinCount());
    std::vector<std::uint8_t> line;
    if (bWaterfall)
        receiver.SetSpectrumHandler([&](std::span<const float> power) { lines.Make(power, line); });
    std::vector<std::uint8_t> levels;
    for (auto _ : state)
    {
        levels.clear();
        for (std::size_t i = 0; i < audio.size(); i += 160)
            receiver.Process(audio.data() + i, 160, levels);
        benchmark::DoNotOptimize(levels.data());
    }
}

void BM_ReceiveOneSecond(benchmark::State& state)
{
    ReceiveSeconds(state, false, false);
}
void BM_ReceiveOneSecondWithAfc(benchmark::State& state)
{
    ReceiveSeconds(state, true, false);
}
void BM_ReceiveOneSecondWithAfcAndWaterfall(benchmark::State& state)
{
    ReceiveSeconds(state, true, true);
}
} // namespace

BENCHMARK(BM_ReceiveOneSecond)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReceiveOneSecondWithAfc)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReceiveOneSecondWithAfcAndWaterfall)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
