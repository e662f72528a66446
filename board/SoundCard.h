#pragma once

#include "board/AudioStream.h"

#include <string>
#include <vector>

struct msresamp_rrrf_s;

// The sound card as the board's radio: the transmitted audio goes to an output device, the
// received audio comes from an input device, at 8000 samples a second or resampled to and from
// the device's own rate. It never waits: the board keeps time, and the card's clock may differ a
// little, so a shortfall of input is made up with silence and an excess dropped (a sample now
// and then, nothing the picture shows).
class CSoundCard : public IAudioSource, public IAudioSink
{
public:
    CSoundCard() = default;
    ~CSoundCard() override;
    CSoundCard(const CSoundCard&) = delete;
    CSoundCard& operator=(const CSoundCard&) = delete;

    // Opens the default input and output, or the first devices whose names contain strDevice.
    // False, with GetError, when there is no such device or it cannot be opened.
    bool Open(const std::string& strDevice);
    void Read(float* pSamples, std::size_t nSamples) override;
    void Write(const float* pSamples, std::size_t nSamples) override;
    const std::string& GetError() const { return m_strError; }
    // What was opened, for the operator.
    std::string Describe() const;

    // The names of the devices there are, with what they can do.
    static std::vector<std::string> ListDevices();

private:
    struct CStream;

    bool OpenStream(CStream& stream, const std::string& strDevice, bool bInput);
    void Close();

    struct CStream
    {
        void* m_pStream = nullptr; // PaStream
        std::string m_strName;
        double m_dRate = 0.0;
        msresamp_rrrf_s* m_pResampler = nullptr; // null when the device runs at 8000
        std::vector<float> m_Block;              // one transfer at the device's rate
        std::vector<float> m_Pending;            // at 8000 for the input, at the device's rate for the output
    };

    bool m_bInitialised = false;
    CStream m_Input;
    CStream m_Output;
    std::string m_strError;
};
