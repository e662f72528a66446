#pragma once

#include "board/BoardSettings.h"
#include "board/WavReader.h"

#include <string>

// The command line of skrivel-board.
struct CBoardOptions
{
    CBoardSettings m_Settings;
    std::string m_strLink;
    std::string m_strLink2;
    std::string m_strRecord;
    std::string m_strPlay;
    CWavReader::EChannel m_nPlayChannel = CWavReader::EChannel::Mix;
    bool m_bAudio = false;
    std::string m_strAudioIn;     // the server's name of the input, empty for its default
    std::string m_strAudioOut;    // the server's name of the output, empty for its default
    std::string m_strAudioDevice; // else the devices whose name or description contains this
    bool m_bListAudio = false;
    std::string m_strRead;
    std::string m_strFont = "hellfont.hlf";
    bool m_bHelp = false;

    // False, with the reason in strError, for an option that is unknown, lacks its value, has a
    // value out of range, or does not go with another.
    bool Parse(int argc, char** argv, std::string& strError);
    static const char* Usage();
};
