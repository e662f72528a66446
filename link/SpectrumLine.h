#pragma once

#include <cstdint>
#include <vector>

// One line of the waterfall: the received audio's spectrum at one moment, as levels 0..255 from
// m_dFirstHz up in steps of m_dBinHz, and where the receiver listened then.
struct CSpectrumLine
{
    std::vector<std::uint8_t> m_Levels;
    double m_dFirstHz = 0.0;
    double m_dBinHz = 1.0;
    double m_dListeningHz = 0.0;
};
