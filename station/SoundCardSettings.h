#pragma once

#include <string>

// What the sound-card port works with: the sound server's names of the input and the output
// device (empty for the server's default) and the tone sent and listened to.
struct CSoundCardSettings
{
    static constexpr int kDefaultToneHz = 1000;

    std::string m_strInputDevice;
    std::string m_strOutputDevice;
    int m_nToneHz = kDefaultToneHz;
};
