#pragma once

#include "link/ItemQueue.h"
#include "modem/FeldHellRates.h"
#include "modem/FeldHellTransmitter.h"

#include <complex>
#include <cstdint>
#include <string>
#include <vector>

class CHellFont;

// A simulated distant station that sends one text over and over in a Hell mode, drawn with the
// given font, on its own clock (dPpm parts per million fast or slow, so its picture slants)
// and its own tone, which may drift. It may pause between the copies, its transmitter off.
class CRemoteStation
{
public:
    struct CSchedule
    {
        double m_dPauseSeconds = 0.0;      // silence between copies; 0 sends them back to back
        double m_dDriftHzPerSecond = 0.0; // the tone's drift
    };

    // The font must outlive the station. A space separates the repetitions.
    CRemoteStation(const CHellFont& font, std::string strText, double dToneHz, double dPpm,
                   CSchedule schedule, const CHellMode& mode = HellModes::FeldHell(),
                   int nSampleRate = FeldHellRates::kSampleRate);

    // The station's analytic signal for the next nSamples audio samples.
    void Generate(std::complex<float>* pOut, std::size_t nSamples);

    // Every character begun so far, in the order sent.
    const std::string& GetSent() const { return m_strSent; }
    // The pixel at which each copy of the text began.
    const std::vector<std::int64_t>& GetCopyStarts() const { return m_CopyStarts; }

private:
    std::uint8_t NextItem();

    const CHellFont& m_Font;
    std::string m_strText;
    double m_dToneHz;
    int m_nSampleRate;
    CSchedule m_Schedule;
    std::int64_t m_nPauseItems;
    std::size_t m_nNext = 0;
    CItemQueue m_Items;
    std::string m_strSent;
    std::vector<std::int64_t> m_CopyStarts;
    std::int64_t m_nItem = 0;    // items taken so far
    std::uint64_t m_nSample = 0; // samples generated so far
    CFeldHellTransmitter m_Transmitter; // last: it calls NextItem
};
