// Measures, on a sound server of its own, how soon the sound-card port's output falls silent after
// Immediate Receive (Esc), and how soon a transmission is heard after Transmit (Ctrl+T): a document
// without a window transmits on the port, and a recorder on the output's monitor notes when each
// 10 ms block of audio arrived and whether it was loud.
//   measure_escape [RUNS]
#include "FakeXmitSource.h"
#include "MemoryProfile.h"
#include "PulseServer.h"
#include "RecordingHost.h"

#include "audio/CaptureStream.h"
#include "audio/PulseClient.h"
#include "doc/SkrivelDoc.h"
#include "modem/FeldHellRates.h"
#include "station/SoundCardPort.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace
{
using CClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::size_t kBlock = 80; // 10 ms at 8000 samples a second

// Notes every block of the monitor as it arrives.
class CRecorder
{
public:
    explicit CRecorder(CCaptureStream& capture) : m_Capture(capture), m_Thread([this] { Run(); }) {}
    ~CRecorder()
    {
        m_bStop = true;
        m_Thread.join();
    }
    // When the first block after t came whose loudness is bLoud, with every later block so too.
    double SecondsUntil(CClock::time_point t, bool bLoud)
    {
        std::scoped_lock lock(m_Lock);
        for (std::size_t i = 0; i < m_Blocks.size(); ++i)
        {
            if (m_Blocks[i].first <= t || m_Blocks[i].second != bLoud)
                continue;
            const bool bStays = bLoud || std::all_of(m_Blocks.begin() + static_cast<std::ptrdiff_t>(i),
                                                     m_Blocks.end(), [](const auto& b) { return !b.second; });
            if (bStays)
                return std::chrono::duration<double>(m_Blocks[i].first - t).count() - 0.010;
        }
        return -1.0;
    }

private:
    void Run()
    {
        std::vector<float> block(kBlock);
        while (!m_bStop)
        {
            if (m_Capture.Read(block.data(), kBlock, 100ms) != kBlock)
                continue;
            const float fPeak = *std::max_element(block.begin(), block.end(),
                                                  [](float a, float b) { return std::abs(a) < std::abs(b); });
            std::scoped_lock lock(m_Lock);
            m_Blocks.emplace_back(CClock::now(), std::abs(fPeak) > 0.05f);
        }
    }

    CCaptureStream& m_Capture;
    std::mutex m_Lock;
    std::vector<std::pair<CClock::time_point, bool>> m_Blocks;
    std::atomic<bool> m_bStop{false};
    std::thread m_Thread;
};

void RunHeartbeat(CSkrivelDoc& doc, std::chrono::milliseconds duration)
{
    const auto tEnd = CClock::now() + duration;
    while (CClock::now() < tEnd)
    {
        doc.Tick();
        std::this_thread::sleep_for(20ms);
    }
}
} // namespace

int main(int argc, char* argv[])
{
    const int nRuns = argc > 1 ? std::atoi(argv[1]) : 10;
    CPulseServer server;
    if (!server.Start() || server.LoadNullSink("out", "Measured output") < 0)
    {
        std::fprintf(stderr, "no sound server: %s\n", server.GetLog().c_str());
        return 1;
    }
    CMemoryProfile profile;
    profile.Set("Comm", "Port", CSoundCardPort::kName);
    profile.Set("Tx", "FontFileName", SKRIVEL_BUNDLED_FONT);
    CRecordingHost host;
    CFakeXmitSource source;
    CSkrivelDoc doc(profile, host);
    doc.SetXmitSource(&source);
    doc.SetPortFactory(
        [](const std::string&)
        {
            CSoundCardSettings settings;
            settings.m_strInputDevice = "out.monitor";
            settings.m_strOutputDevice = "out";
            return std::make_unique<CSoundCardPort>(settings);
        });
    doc.OnNewDocument();
    CPulseClient client("recorder");
    CCaptureStream monitor(client);
    if (!monitor.Open("recorder", "out.monitor", 30.0))
    {
        std::fprintf(stderr, "no monitor: %s\n", monitor.GetError().c_str());
        return 1;
    }
    CRecorder recorder(monitor);
    RunHeartbeat(doc, 3s); // a fresh null sink starts playing a second or two late

    std::vector<double> heard;
    std::vector<double> silent;
    for (int i = 0; i < nRuns; ++i)
    {
        source.m_strText.assign(200, 'M'); // a mostly marked character: loud in every 10 ms
        source.m_nPos = 0;
        const auto tTransmit = CClock::now();
        doc.OnTransmit();
        RunHeartbeat(doc, 1500ms);
        const auto tEscape = CClock::now();
        doc.OnImmediateReceive();
        RunHeartbeat(doc, 1500ms);
        heard.push_back(recorder.SecondsUntil(tTransmit, true));
        silent.push_back(recorder.SecondsUntil(tEscape, false));
    }
    std::sort(heard.begin(), heard.end());
    std::sort(silent.begin(), silent.end());
    std::printf("%d runs; the recorder's own capture delay is included\n", nRuns);
    // Every transmission starts with a keyed blank character, 7 columns of 14 pixels.
    constexpr double kLeadIn = 7.0 * 14 / FeldHellRates::kPixelRate;
    std::printf("Ctrl+T to tone:   median %.0f ms, max %.0f ms\n", heard[heard.size() / 2] * 1000,
                heard.back() * 1000);
    std::printf("Ctrl+T to keying: median %.0f ms, max %.0f ms (the tone less the %.0f ms lead-in)\n",
                (heard[heard.size() / 2] - kLeadIn) * 1000, (heard.back() - kLeadIn) * 1000, kLeadIn * 1000);
    std::printf("Esc to silence:   median %.0f ms, max %.0f ms\n", silent[silent.size() / 2] * 1000,
                silent.back() * 1000);
    std::printf("underruns: %s\n", doc.GetPortStatusText().c_str());
    return 0;
}
