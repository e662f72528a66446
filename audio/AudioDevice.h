#pragma once

#include <string>

// A sound device as the desktop's sound settings show it: the server's name for it, which picks
// it, and the description the operator reads.
struct CAudioDevice
{
    std::string m_strName;        // such as alsa_output.usb-Burr-Brown_USB_Audio_CODEC-00.analog-stereo
    std::string m_strDescription; // such as "USB Audio CODEC Analog Stereo"
    bool m_bDefault = false;      // the server's default of its kind
    bool m_bMonitor = false;      // an input that hears what an output plays
};
