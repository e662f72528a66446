#pragma once

#include <cstdint>
#include <string>

// The rig as its thread last saw it.
struct CRigStatus
{
    enum class EState
    {
        Unused,    // nobody uses it: closed
        NoControl, // no PTT method is set: the transmitter keys itself (VOX)
        Ready,     // open and answering
        Absent,    // could not be opened, or stopped answering: looked for again now and then
    };

    EState m_nState = EState::Unused;
    bool m_bKeyed = false;        // the transmitter keyed, as the rig last confirmed
    std::uint64_t m_nPttDone = 0; // the last SetPtt request carried out, or given up
    int m_nFailures = 0;          // times the transmitter was wanted keyed and could not be
    std::string m_strReading;     // the frequency and mode, such as "14.070000 MHz USB"
    std::string m_strError;       // why it is absent, or why keying last failed

    bool operator==(const CRigStatus&) const = default;
};
