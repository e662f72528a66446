#pragma once

#include "modem/FeldHellRates.h"
#include "modem/HellMode.h"

#include <cstdint>
#include <optional>
#include <string>

// What the simulated board and its channel are made of.
struct CBoardSettings
{
    CHellMode m_Mode = HellModes::FeldHell(); // of the boards and the remote station
    double m_dToneHz = FeldHellRates::kDefaultToneHz;
    bool m_bPair = false;        // two boards that hear each other
    bool m_bMonitor = false;     // a board hears its own transmitter
    std::string m_strRemoteText; // empty: no simulated remote station
    double m_dRemotePpm = 0.0;
    double m_dRemoteOffsetHz = 15.0;
    double m_dRemotePauseSeconds = 0.0; // silence between the station's copies of its text
    double m_dRemoteDriftHz = 0.0;      // the station's drift, Hz a second
    bool m_bAfc = true;                 // the receivers look for the signal around the tone
    std::optional<double> m_SnrDb; // noise in 2500 Hz relative to one station's tone; none if empty
    double m_dFadeHz = 0.0;        // Doppler spread of the fading of every far signal; 0 is none
    std::uint32_t m_nSeed = 1;
};
