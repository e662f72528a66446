#pragma once

#include "modem/FeldHellRates.h"

#include <string>

// What the sound-card port works with: the sound server's names of the input and the output
// device (empty for the server's default), the tone listened to and the one sent (the same unless
// split), whether AFC looks for a signal around the tone, and the Hell mode (an index of
// HellModeNames::kAll).
struct CSoundCardSettings
{
    std::string m_strInputDevice;
    std::string m_strOutputDevice;
    int m_nToneHz = static_cast<int>(FeldHellRates::kDefaultToneHz);
    int m_nTxToneHz = static_cast<int>(FeldHellRates::kDefaultToneHz);
    bool m_bAfc = true;
    int m_nMode = 0;
};
