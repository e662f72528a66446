#pragma once

#include <string>

// How the port keys the transmitter.
enum class EPttState
{
    None,  // the port keys nothing itself (a board keys its transmitter)
    Vox,   // no PTT control: the transmitter keys on the audio
    Off,   // released
    On,    // keyed
    NoRig, // the rig cannot be had (not there, not answering)
};

// The transmitter's keying as the port tells it: the state, the rig's frequency and mode, what is
// wrong, and the transmissions it stopped because keying failed.
struct CPttStatus
{
    EPttState m_nState = EPttState::None;
    std::string m_strReading; // the rig's frequency and mode, while it tells them
    std::string m_strProblem; // why the rig cannot be had, while it cannot
    int m_nFailures = 0;      // transmissions stopped since the port was made
    std::string m_strFailure; // why the last of them was stopped

    bool operator==(const CPttStatus&) const = default;
};
