#include "board/SoundCard.h"

#include "modem/FeldHellRates.h"

#include <complex>

#include <liquid/liquid.h>
#include <portaudio.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace
{
constexpr float kStopBandDb = 60.0f;
// Audio held back at most, in seconds: more than this means the card runs faster than the board.
constexpr double kMaxPendingSeconds = 0.25;
// The output starts with this much silence, so that it does not run dry at once.
constexpr double kOutputLeadSeconds = 0.1;

// PortAudio asks JACK for devices too; it must not start a JACK server of its own for that.
PaError StartPortAudio()
{
    setenv("JACK_NO_START_SERVER", "1", 0);
    return Pa_Initialize();
}

PaDeviceIndex FindDevice(const std::string& strDevice, bool bInput)
{
    if (strDevice.empty())
        return bInput ? Pa_GetDefaultInputDevice() : Pa_GetDefaultOutputDevice();
    for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i)
    {
        const PaDeviceInfo* pInfo = Pa_GetDeviceInfo(i);
        if (pInfo != nullptr && (bInput ? pInfo->maxInputChannels : pInfo->maxOutputChannels) > 0 &&
            std::string(pInfo->name).find(strDevice) != std::string::npos)
            return i;
    }
    return paNoDevice;
}

// Pushes nIn samples through the resampler (or not), onto the end of out.
void Convert(msresamp_rrrf pResampler, double dRatio, const float* pIn, std::size_t nIn,
             std::vector<float>& out)
{
    if (pResampler == nullptr)
    {
        out.insert(out.end(), pIn, pIn + nIn);
        return;
    }
    const std::size_t nOld = out.size();
    out.resize(nOld + static_cast<std::size_t>(std::ceil(2.0 + 2.0 * dRatio * static_cast<double>(nIn))));
    unsigned nOut = 0;
    msresamp_rrrf_execute(pResampler, const_cast<float*>(pIn), static_cast<unsigned>(nIn), out.data() + nOld,
                          &nOut);
    out.resize(nOld + nOut);
}

void DropOldest(std::vector<float>& pending, double dRate)
{
    const auto nMax = static_cast<std::size_t>(kMaxPendingSeconds * dRate);
    if (pending.size() > nMax)
        pending.erase(pending.begin(), pending.end() - static_cast<std::ptrdiff_t>(nMax));
}
} // namespace

CSoundCard::~CSoundCard()
{
    Close();
}

void CSoundCard::Close()
{
    for (CStream* pStream : {&m_Input, &m_Output})
    {
        if (pStream->m_pStream != nullptr)
        {
            Pa_StopStream(pStream->m_pStream);
            Pa_CloseStream(pStream->m_pStream);
        }
        if (pStream->m_pResampler != nullptr)
            msresamp_rrrf_destroy(pStream->m_pResampler);
        *pStream = CStream();
    }
    if (m_bInitialised)
        Pa_Terminate();
    m_bInitialised = false;
}

bool CSoundCard::Open(const std::string& strDevice)
{
    Close();
    if (const PaError nError = StartPortAudio(); nError != paNoError)
    {
        m_strError = std::string("Can't start the sound system: ") + Pa_GetErrorText(nError);
        return false;
    }
    m_bInitialised = true;
    if (!OpenStream(m_Input, strDevice, true) || !OpenStream(m_Output, strDevice, false))
    {
        Close();
        return false;
    }
    std::vector<float> lead(static_cast<std::size_t>(kOutputLeadSeconds * m_Output.m_dRate), 0.0f);
    Pa_WriteStream(m_Output.m_pStream, lead.data(), static_cast<unsigned long>(lead.size()));
    m_strError.clear();
    return true;
}

bool CSoundCard::OpenStream(CStream& stream, const std::string& strDevice, bool bInput)
{
    const char* pszWhat = bInput ? "input" : "output";
    const PaDeviceIndex nDevice = FindDevice(strDevice, bInput);
    if (nDevice == paNoDevice)
    {
        m_strError = strDevice.empty() ? std::string("No sound ") + pszWhat + " device"
                                       : std::string("No sound ") + pszWhat + " device named " + strDevice;
        return false;
    }
    const PaDeviceInfo* pInfo = Pa_GetDeviceInfo(nDevice);
    PaStreamParameters params{};
    params.device = nDevice;
    params.channelCount = 1;
    params.sampleFormat = paFloat32;
    params.suggestedLatency = bInput ? pInfo->defaultLowInputLatency : pInfo->defaultLowOutputLatency;
    const PaStreamParameters* pIn = bInput ? &params : nullptr;
    const PaStreamParameters* pOut = bInput ? nullptr : &params;
    // The board's own rate if the device takes it, else the device's and a resampler.
    stream.m_dRate = FeldHellRates::kSampleRate;
    if (Pa_IsFormatSupported(pIn, pOut, stream.m_dRate) != paFormatIsSupported)
        stream.m_dRate = pInfo->defaultSampleRate;
    PaError nError = Pa_OpenStream(&stream.m_pStream, pIn, pOut, stream.m_dRate, paFramesPerBufferUnspecified,
                                   paNoFlag, nullptr, nullptr);
    if (nError == paNoError)
        nError = Pa_StartStream(stream.m_pStream);
    if (nError != paNoError)
    {
        m_strError = std::string("Can't open the sound ") + pszWhat + " " + pInfo->name + ": " +
                     Pa_GetErrorText(nError);
        return false;
    }
    stream.m_strName = pInfo->name;
    if (stream.m_dRate != FeldHellRates::kSampleRate)
    {
        const double dRatio = bInput ? FeldHellRates::kSampleRate / stream.m_dRate
                                     : stream.m_dRate / FeldHellRates::kSampleRate;
        stream.m_pResampler = msresamp_rrrf_create(static_cast<float>(dRatio), kStopBandDb);
    }
    return true;
}

void CSoundCard::Read(float* pSamples, std::size_t nSamples)
{
    if (m_Input.m_pStream != nullptr)
    {
        const long nAvailable = Pa_GetStreamReadAvailable(m_Input.m_pStream);
        if (nAvailable > 0)
        {
            m_Input.m_Block.resize(static_cast<std::size_t>(nAvailable));
            Pa_ReadStream(m_Input.m_pStream, m_Input.m_Block.data(), static_cast<unsigned long>(nAvailable));
            Convert(m_Input.m_pResampler, FeldHellRates::kSampleRate / m_Input.m_dRate,
                    m_Input.m_Block.data(), m_Input.m_Block.size(), m_Input.m_Pending);
            DropOldest(m_Input.m_Pending, FeldHellRates::kSampleRate);
        }
    }
    std::vector<float>& pending = m_Input.m_Pending;
    const std::size_t nTaken = std::min(nSamples, pending.size());
    std::copy_n(pending.begin(), nTaken, pSamples);
    std::fill(pSamples + nTaken, pSamples + nSamples, 0.0f);
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(nTaken));
}

void CSoundCard::Write(const float* pSamples, std::size_t nSamples)
{
    if (m_Output.m_pStream == nullptr)
        return;
    std::vector<float>& pending = m_Output.m_Pending;
    Convert(m_Output.m_pResampler, m_Output.m_dRate / FeldHellRates::kSampleRate, pSamples, nSamples,
            pending);
    const long nRoom = Pa_GetStreamWriteAvailable(m_Output.m_pStream);
    const std::size_t nWritten = nRoom > 0 ? std::min(pending.size(), static_cast<std::size_t>(nRoom)) : 0;
    if (nWritten > 0)
        Pa_WriteStream(m_Output.m_pStream, pending.data(), static_cast<unsigned long>(nWritten));
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(nWritten));
    DropOldest(pending, m_Output.m_dRate);
}

std::string CSoundCard::Describe() const
{
    const auto describe = [](const CStream& stream)
    { return stream.m_strName + " at " + std::to_string(static_cast<int>(stream.m_dRate)) + " Hz"; };
    return "sound input " + describe(m_Input) + ", output " + describe(m_Output);
}

std::vector<std::string> CSoundCard::ListDevices()
{
    std::vector<std::string> names;
    if (StartPortAudio() != paNoError)
        return names;
    for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i)
        if (const PaDeviceInfo* pInfo = Pa_GetDeviceInfo(i); pInfo != nullptr)
            names.push_back(std::string(pInfo->name) + " (" + std::to_string(pInfo->maxInputChannels) +
                            " in, " + std::to_string(pInfo->maxOutputChannels) + " out, " +
                            std::to_string(static_cast<int>(pInfo->defaultSampleRate)) + " Hz)");
    Pa_Terminate();
    return names;
}
