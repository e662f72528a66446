#pragma once

#include "audio/CaptureStream.h"
#include "audio/PlaybackStream.h"
#include "audio/PulseClient.h"
#include "board/AudioStream.h"

#include <cstdint>
#include <string>

// The sound card as the board's radio, through the sound server: the transmitted audio goes to an
// output device, the received audio comes from an input device. It never waits: the board keeps
// time, and the card's clock may differ a little, so a shortfall of input is made up with silence
// and an excess dropped, and the output drops or repeats a sample now and then (nothing the
// picture shows). Half a second of output is kept queued, so a busy machine leaves no gap.
// A device that goes away is looked for once a second and taken again when it is back; that, and
// an output that ran dry all the same, is told on the standard error.
class CSoundCard : public IAudioSource, public IAudioSink
{
public:
    CSoundCard();
    ~CSoundCard() override;
    CSoundCard(const CSoundCard&) = delete;
    CSoundCard& operator=(const CSoundCard&) = delete;

    // Opens the input and the output the server names so (empty: its defaults). When strMatch is
    // given, an empty name is the first device whose name or description contains it. False, with
    // GetError, when a device is not there or cannot be opened.
    bool Open(std::string strInput, std::string strOutput, const std::string& strMatch);
    void Read(float* pSamples, std::size_t nSamples) override;
    void Write(const float* pSamples, std::size_t nSamples) override;
    const std::string& GetError() const { return m_strError; }
    // What was opened, for the operator.
    const std::string& Describe() const { return m_strDescription; }
    // The times the output ran dry since Open.
    int GetUnderruns() const { return m_nUnderrunsBefore + m_Output.GetUnderruns(); }

private:
    // Once a second of output: tells of a gap or a lost device, and reopens a lost one.
    void Watch();
    bool OpenInput();
    bool OpenOutput();

    CPulseClient m_Client;
    CCaptureStream m_Input;
    CPlaybackStream m_Output;
    std::string m_strInput;
    std::string m_strOutput;
    std::string m_strError;
    std::string m_strDescription;
    std::int64_t m_nSinceWatch = 0;
    int m_nUnderrunsBefore = 0; // of the output's earlier openings
    int m_nUnderrunsTold = 0;
    bool m_bInputLostTold = false;
    bool m_bOutputLostTold = false;
};
