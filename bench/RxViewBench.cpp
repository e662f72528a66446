// The receive view on the offscreen platform: a full repaint of a 1920 x 1080 window showing the
// end of one hour and of 24 hours of reception, the same with the picture controls on at each
// zoom, exporting the whole picture as a PNG file, and the work of one live column.

#include "MemoryProfile.h"
#include "RecordingHost.h"
#include "doc/SkrivelDoc.h"
#include "ui/SkrivelRxView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <vector>

namespace
{
// Feld-Hell runs at 17.5 columns a second; 28 samples a column make 490 a second.
constexpr std::size_t kSamplesPerHour = 490 * 3600;

struct CViewFixture
{
    CMemoryProfile m_Profile;
    CRecordingHost m_Host;
    CSkrivelDoc m_Doc{m_Profile, m_Host};
    CSkrivelRxView m_View{m_Doc};

    // Samples in a pattern, or like noise (which compresses as badly as a real band's).
    explicit CViewFixture(std::size_t nSamples, bool bNoise = false)
    {
        m_Doc.DeleteContents();
        std::vector<std::uint8_t> samples(nSamples);
        std::uint32_t nRandom = 1;
        for (std::size_t i = 0; i < nSamples; ++i)
        {
            nRandom = nRandom * 1664525u + 1013904223u;
            samples[i] = static_cast<std::uint8_t>(bNoise ? nRandom >> 24 : i * 37);
        }
        m_Doc.m_RxStore.Append(samples.data(), samples.size());
        m_View.resize(1920, 1080);
        m_View.show();
        m_View.ScrollToEnd();
        QCoreApplication::processEvents();
    }
};

void BM_FullRepaint(benchmark::State& state)
{
    CViewFixture fixture(static_cast<std::size_t>(state.range(0)) * kSamplesPerHour);
    for (auto _ : state)
        fixture.m_View.viewport()->repaint();
    state.counters["pages"] = fixture.m_Doc.m_RxStore.m_nRxPages;
}
BENCHMARK(BM_FullRepaint)->Arg(1)->Arg(24)->ArgName("hours")->Unit(benchmark::kMicrosecond);

// One hour stored, brightness, contrast and slant correction set, at the zoom given in percent.
void BM_FullRepaintWithControls(benchmark::State& state)
{
    CViewFixture fixture(kSamplesPerHour);
    fixture.m_Doc.SetPicture({20, 30, static_cast<int>(state.range(0)), 250});
    fixture.m_View.ScrollToEnd();
    QCoreApplication::processEvents();
    for (auto _ : state)
        fixture.m_View.viewport()->repaint();
}
BENCHMARK(BM_FullRepaintWithControls)
    ->Arg(100)
    ->Arg(150)
    ->Arg(200)
    ->Arg(300)
    ->ArgName("zoom")
    ->Unit(benchmark::kMicrosecond);

// File, Export Picture...: the whole picture written to a PNG file, at the picture's own size.
void BM_ExportPicture(benchmark::State& state)
{
    CViewFixture fixture(static_cast<std::size_t>(state.range(0)) * kSamplesPerHour, true);
    const QString strPath = QDir::temp().filePath(QStringLiteral("skrivel-bench-%1.png").arg(QCoreApplication::applicationPid()));
    for (auto _ : state)
        fixture.m_View.ExportPicture(QFile::encodeName(strPath).toStdString(), false);
    state.counters["MB"] = static_cast<double>(QFileInfo(strPath).size()) / 1e6;
    QFile::remove(strPath);
}
BENCHMARK(BM_ExportPicture)->Arg(1)->ArgName("hours")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportPicture)->Arg(24)->ArgName("hours")->Iterations(1)->Unit(benchmark::kMillisecond);

// One column of 28 samples stored live, then the paint it asked for.
void BM_LiveColumn(benchmark::State& state)
{
    CViewFixture fixture(kSamplesPerHour);
    std::uint8_t nValue = 0;
    for (auto _ : state)
    {
        for (int r = 0; r < CRxStore::kRowsPerColumn; ++r)
            fixture.m_Doc.StoreRxPixel(nValue++, true);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_LiveColumn)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
