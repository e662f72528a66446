#pragma once

#include "link/ItemQueue.h"
#include "modem/FeldHellTransmitter.h"

#include <complex>
#include <string>

class CHellFont;

// A simulated distant station that sends one text over and over in Feld-Hell, drawn with the
// given font, on its own clock (dPpm parts per million fast or slow, so its picture slants)
// and its own tone.
class CRemoteStation
{
public:
    // The font must outlive the station. A space separates the repetitions.
    CRemoteStation(const CHellFont& font, std::string strText, double dToneHz, double dPpm);

    // The station's analytic signal for the next nSamples audio samples.
    void Generate(std::complex<float>* pOut, std::size_t nSamples)
    {
        m_Transmitter.GenerateAnalytic(pOut, nSamples);
    }

    // Every character begun so far, in the order sent.
    const std::string& GetSent() const { return m_strSent; }

private:
    std::uint8_t NextItem();

    const CHellFont& m_Font;
    std::string m_strText;
    std::size_t m_nNext = 0;
    CItemQueue m_Items;
    std::string m_strSent;
    CFeldHellTransmitter m_Transmitter; // last: it calls NextItem
};
