// The waterfall's cost in the window: a second's lines (16) taken and the strip repainted after
// each, at 1920 pixels across.
#include "MemoryProfile.h"
#include "RecordingHost.h"
#include "doc/SkrivelDoc.h"
#include "link/SpectrumLine.h"
#include "ui/WaterfallView.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace
{
void BM_WaterfallOneSecond(benchmark::State& state)
{
    CMemoryProfile profile;
    CRecordingHost host;
    CSkrivelDoc doc(profile, host);
    CWaterfallView view(doc, nullptr);
    view.resize(1920, view.height());
    CSpectrumLine line;
    line.m_dFirstHz = 203.125;
    line.m_dBinHz = 7.8125;
    line.m_Levels.resize(359);
    for (std::size_t i = 0; i < line.m_Levels.size(); ++i)
        line.m_Levels[i] = static_cast<std::uint8_t>(i * 37 % 256);
    QImage target(view.size(), QImage::Format_RGB32);
    for (auto _ : state)
        for (int n = 0; n < 16; ++n)
        {
            view.AddSpectrumLine(line);
            view.render(&target);
        }
}
} // namespace

BENCHMARK(BM_WaterfallOneSecond)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
