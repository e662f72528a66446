// Skrivel's sound-card port on a machine whose cores are held by busy loops: its transmissions
// come out of the sound card whole. Minutes of real time, so it runs in the main suite only.

#include "SoundCardStationFixture.h"

#include "audio/CaptureStream.h"
#include "audio/PulseClient.h"
#include "modem/FeldHellTransmitter.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace
{
// The stretches of a recording where a tone sounds, [first, last] sample, split at silences
// longer than nGap samples.
std::vector<std::pair<std::size_t, std::size_t>> BurstsOf(const std::vector<float>& audio, std::size_t nGap)
{
    std::vector<std::pair<std::size_t, std::size_t>> bursts;
    for (std::size_t i = 0; i < audio.size(); ++i)
    {
        if (std::fabs(audio[i]) < 0.1f)
            continue;
        if (bursts.empty() || i - bursts.back().second > nGap)
            bursts.emplace_back(i, i);
        bursts.back().second = i;
    }
    return bursts;
}
} // namespace

// Two busy loops hold both cores while ten transmissions go out: each comes out of the sound card
// whole (as long as it should be, every character read back), and any hole would have been counted.
TEST_F(SoundCardStationTest, TransmissionsOnABusyMachineHaveNoHoles)
{
    const std::string strPangram = "GLIB JOCKS QUIZ NYMPH TO VEX DWARF";
    constexpr int kTransmissions = 10;
    CPulseClient client("recorder");
    CCaptureStream recorder(client);
    ASSERT_TRUE(recorder.Open("recorder", "station.monitor", 10.0)) << recorder.GetError();
    std::vector<float> recording;
    m_OnTick = [&]
    {
        const std::size_t nHad = recording.size();
        recording.resize(nHad + static_cast<std::size_t>(recorder.GetAvailable()));
        recording.resize(nHad + recorder.Read(recording.data() + nHad, recording.size() - nHad, 0ms));
    };
    {
        std::vector<std::jthread> busy;
        for (int i = 0; i < 2; ++i)
            busy.emplace_back(
                [](std::stop_token stop)
                {
                    volatile unsigned nSpin = 0;
                    while (!stop.stop_requested())
                        nSpin = nSpin + 1;
                });
        for (int i = 0; i < kTransmissions; ++i)
            Send(strPangram);
    }
    Run(500ms);

    std::vector<std::uint8_t> levels;
    CFeldHellReceiver(1000.0, 8000).Process(recording.data(), recording.size(), levels);
    const std::string strRead = CHellReader::TextOf(CHellReader(BundledFont()).Read(levels));
    int nWhole = 0;
    for (std::size_t nAt = strRead.find(strPangram); nAt != std::string::npos;
         nAt = strRead.find(strPangram, nAt + 1))
        ++nWhole;
    EXPECT_EQ(nWhole, kTransmissions) << strRead;

    // A hole lengthens the transmission it falls into (or splits it); the same text transmitted
    // with no hole gives the length to expect.
    const std::vector<std::uint8_t> items = TxBytesOf(" " + strPangram + " ");
    std::size_t nItem = 0;
    CFeldHellTransmitter ideal([&] { return nItem < items.size() ? items[nItem++] : std::uint8_t{0}; });
    std::vector<float> idealAudio(static_cast<std::size_t>(
        FeldHellRates::FirstSampleOfPixel(static_cast<std::int64_t>(items.size()) + 2)));
    ideal.Generate(idealAudio.data(), idealAudio.size());
    // Longer than a space in the text, shorter than the last and the lead-in space between two.
    const std::size_t nSplit = 8000 * 7 / 10;
    const auto idealBursts = BurstsOf(idealAudio, nSplit);
    ASSERT_EQ(idealBursts.size(), 1u);
    const std::size_t nLength = idealBursts[0].second - idealBursts[0].first;
    const auto bursts = BurstsOf(recording, nSplit);
    int nHoles = std::max(0, static_cast<int>(bursts.size()) - kTransmissions);
    std::string strLengths;
    for (const auto& [nFirst, nLast] : bursts)
    {
        nHoles += nLast - nFirst > nLength + 8000 / FeldHellRates::kPixelRate ? 1 : 0;
        strLengths += std::to_string(nLast - nFirst) + " ";
    }
    EXPECT_EQ(nHoles, 0) << "lengths " << strLengths << "of " << nLength;
    EXPECT_EQ(ReportedUnderruns(), nHoles) << m_Doc.GetPortStatusText();
}
