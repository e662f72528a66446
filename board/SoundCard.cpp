#include "board/SoundCard.h"

#include "modem/FeldHellRates.h"

#include "audio/AudioFormat.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <tuple>
#include <vector>

static_assert(AudioFormat::kSampleRate == FeldHellRates::kSampleRate);

namespace
{
const char* const kClientName = "Skrivel";
const char* const kStreamName = "skrivel-board";
// The received audio held at most: more than this means the card runs faster than the board.
constexpr double kMaxHeldInput = 0.25;

// The first device, not a monitor, whose name or description contains strMatch, or null.
const CAudioDevice* Find(const std::vector<CAudioDevice>& devices, const std::string& strMatch)
{
    const auto it = std::find_if(devices.begin(), devices.end(),
                                 [&](const CAudioDevice& device)
                                 {
                                     return !device.m_bMonitor &&
                                            (device.m_strName.find(strMatch) != std::string::npos ||
                                             device.m_strDescription.find(strMatch) != std::string::npos);
                                 });
    return it != devices.end() ? &*it : nullptr;
}

std::string Shown(const std::vector<CAudioDevice>& devices, const std::string& strName)
{
    for (const CAudioDevice& device : devices)
        if (device.m_strName == strName)
            return "\"" + device.m_strDescription + "\" (" + strName + ")";
    return strName;
}

void Tell(const std::string& strText)
{
    std::fprintf(stderr, "skrivel-board: %s\n", strText.c_str());
}
} // namespace

CSoundCard::CSoundCard() : m_Client(kClientName), m_Input(m_Client), m_Output(m_Client)
{
}

CSoundCard::~CSoundCard() = default;

bool CSoundCard::Open(std::string strInput, std::string strOutput, const std::string& strMatch)
{
    std::vector<CAudioDevice> inputs;
    std::vector<CAudioDevice> outputs;
    if (!m_Client.ListDevices(inputs, outputs, true))
    {
        m_strError = m_Client.GetError();
        return false;
    }
    for (auto [pName, pDevices, pszKind] : {std::tuple{&strInput, &inputs, "input"}, {&strOutput, &outputs, "output"}})
    {
        if (strMatch.empty() || !pName->empty())
            continue;
        const CAudioDevice* pDevice = Find(*pDevices, strMatch);
        if (pDevice == nullptr)
        {
            m_strError = std::string("No sound ") + pszKind + " named like " + strMatch;
            return false;
        }
        *pName = pDevice->m_strName;
    }
    m_strInput = strInput;
    m_strOutput = strOutput;
    if (!OpenInput() || !OpenOutput())
        return false;
    m_strDescription = "input " + Shown(inputs, m_Input.GetDeviceName()) + ", output " +
                       Shown(outputs, m_Output.GetDeviceName());
    return true;
}

bool CSoundCard::OpenInput()
{
    if (m_Input.Open(kStreamName, m_strInput, kMaxHeldInput))
        return true;
    m_strError = m_Input.GetError();
    return false;
}

bool CSoundCard::OpenOutput()
{
    m_nUnderrunsBefore = GetUnderruns();
    if (m_Output.Open(kStreamName, m_strOutput))
        return true;
    m_strError = m_Output.GetError();
    return false;
}

void CSoundCard::Read(float* pSamples, std::size_t nSamples)
{
    const std::size_t nTaken = m_Input.Read(pSamples, nSamples, std::chrono::milliseconds(0));
    std::fill(pSamples + nTaken, pSamples + nSamples, 0.0f);
}

void CSoundCard::Write(const float* pSamples, std::size_t nSamples)
{
    m_Output.Write(pSamples, nSamples);
    m_nSinceWatch += static_cast<std::int64_t>(nSamples);
    if (m_nSinceWatch >= FeldHellRates::kSampleRate)
    {
        m_nSinceWatch = 0;
        Watch();
    }
}

void CSoundCard::Watch()
{
    if (const int nUnderruns = GetUnderruns(); nUnderruns > m_nUnderrunsTold)
    {
        m_nUnderrunsTold = nUnderruns;
        Tell("the sound output ran dry, a gap in the transmitted audio (" + std::to_string(nUnderruns) +
             " so far)");
    }
    const auto watch = [](CPulseStream& stream, bool& bTold, const char* pszKind, auto reopen)
    {
        if (stream.IsOpen())
            return;
        if (!bTold)
            Tell(std::string("lost the sound ") + pszKind + " " + stream.GetDeviceName() +
                 "; looking for it once a second");
        bTold = true;
        if (!reopen())
            return;
        Tell(std::string("the sound ") + pszKind + " is back: " + stream.GetDeviceName());
        bTold = false;
    };
    watch(m_Input, m_bInputLostTold, "input", [this] { return OpenInput(); });
    watch(m_Output, m_bOutputLostTold, "output", [this] { return OpenOutput(); });
}
