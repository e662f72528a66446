#pragma once

#include "modem/FeldHellRates.h"

#include <string>

// What the sound-card port works with: the sound server's names of the input and the output
// device (empty for the server's default) and the tone sent and listened to.
struct CSoundCardSettings
{
    std::string m_strInputDevice;
    std::string m_strOutputDevice;
    int m_nToneHz = static_cast<int>(FeldHellRates::kDefaultToneHz);
};
