// Skrivel's sound-card port on a machine whose cores are held by busy loops: its transmissions
// come out of the sound card whole. Minutes of real time, so it runs in the main suite only.

#include "SoundCardStationFixture.h"

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

// Two busy loops hold both cores while ten transmissions go out: each comes out of the sound card
// whole (as long as it should be, every character read back), and any hole would have been counted.
TEST_F(SoundCardStationTest, TransmissionsOnABusyMachineHaveNoHoles)
{
    const std::string strPangram = "GLIB JOCKS QUIZ NYMPH TO VEX DWARF";
    constexpr int kTransmissions = 10;
    Record();
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

    const std::string strRead = ReadRecording();
    int nWhole = 0;
    for (std::size_t nAt = strRead.find(strPangram); nAt != std::string::npos;
         nAt = strRead.find(strPangram, nAt + 1))
        ++nWhole;
    EXPECT_EQ(nWhole, kTransmissions) << strRead;

    // A hole lengthens the transmission it falls into (or splits it); the same text transmitted
    // with no hole gives the length to expect.
    // Longer than a space in the text, shorter than the last and the lead-in space between two.
    const std::size_t nSplit = 8000 * 7 / 10;
    const std::size_t nLength = IdealLength(" " + strPangram + " ", HellModes::FeldHell(), 1000.0);
    const auto bursts = BurstsOf(m_Recording, nSplit);
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
