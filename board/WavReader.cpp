#include "board/WavReader.h"

#include "modem/FeldHellRates.h"

#include <complex>

#include <liquid/liquid.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>

namespace
{
constexpr sf_count_t kBlockFrames = 1024;
constexpr float kStopBandDb = 60.0f;
} // namespace

bool CWavReader::ParseChannel(std::string_view str, EChannel& nChannel)
{
    if (str == "mix")
        nChannel = EChannel::Mix;
    else if (str == "left")
        nChannel = EChannel::Left;
    else if (str == "right")
        nChannel = EChannel::Right;
    else
        return false;
    return true;
}

CWavReader::~CWavReader()
{
    Close();
}

void CWavReader::Close()
{
    if (m_pResampler != nullptr)
        msresamp_rrrf_destroy(m_pResampler);
    m_pResampler = nullptr;
    if (m_pFile != nullptr)
        sf_close(m_pFile);
    m_pFile = nullptr;
}

bool CWavReader::Open(const std::string& strPath)
{
    Close();
    m_Pending.clear();
    m_strPath = strPath;
    SF_INFO info{};
    m_pFile = sf_open(strPath.c_str(), SFM_READ, &info);
    if (m_pFile == nullptr)
    {
        m_strError = "Can't open " + strPath + ": " + sf_strerror(nullptr);
        return false;
    }
    if (info.channels < 1 || info.samplerate < 1000)
    {
        m_strError = "Can't read " + strPath + ": no audio in it";
        Close();
        return false;
    }
    m_nChannels = info.channels;
    m_nFileRate = info.samplerate;
    if (m_nFileRate != FeldHellRates::kSampleRate)
        m_pResampler = msresamp_rrrf_create(
            static_cast<float>(FeldHellRates::kSampleRate) / static_cast<float>(m_nFileRate), kStopBandDb);
    m_strError.clear();
    return true;
}

void CWavReader::Fill(std::size_t nWanted)
{
    while (m_pFile != nullptr && m_Pending.size() < nWanted)
    {
        m_Frames.resize(static_cast<std::size_t>(kBlockFrames * m_nChannels));
        const sf_count_t nFrames = sf_readf_float(m_pFile, m_Frames.data(), kBlockFrames);
        if (nFrames <= 0)
        {
            if (sf_error(m_pFile) != SF_ERR_NO_ERROR)
                m_strError = std::string("Can't read the audio file: ") + sf_strerror(m_pFile);
            Close();
            return;
        }
        // The channel chosen, or the mean of all.
        const int nFirst = m_nChannel == EChannel::Right ? std::min(1, m_nChannels - 1) : 0;
        const int nTaken = m_nChannel == EChannel::Mix ? m_nChannels : 1;
        m_Mono.resize(static_cast<std::size_t>(nFrames));
        for (sf_count_t f = 0; f < nFrames; ++f)
        {
            float fSum = 0.0f;
            for (int c = nFirst; c < nFirst + nTaken; ++c)
                fSum += m_Frames[static_cast<std::size_t>(f * m_nChannels + c)];
            m_Mono[static_cast<std::size_t>(f)] = fSum / static_cast<float>(nTaken);
        }
        if (m_pResampler == nullptr)
        {
            m_Pending.insert(m_Pending.end(), m_Mono.begin(), m_Mono.end());
            continue;
        }
        const std::size_t nOld = m_Pending.size();
        const auto nMax = static_cast<std::size_t>(
            std::ceil(2.0 + 2.0 * static_cast<double>(nFrames) * FeldHellRates::kSampleRate / m_nFileRate));
        m_Pending.resize(nOld + nMax);
        unsigned nOut = 0;
        msresamp_rrrf_execute(m_pResampler, m_Mono.data(), static_cast<unsigned>(nFrames),
                              m_Pending.data() + nOld, &nOut);
        m_Pending.resize(nOld + nOut);
    }
}

void CWavReader::Read(float* pSamples, std::size_t nSamples)
{
    Fill(nSamples);
    const std::size_t nTaken = std::min(nSamples, m_Pending.size());
    std::copy_n(m_Pending.begin(), nTaken, pSamples);
    std::fill(pSamples + nTaken, pSamples + nSamples, 0.0f);
    m_Pending.erase(m_Pending.begin(), m_Pending.begin() + static_cast<std::ptrdiff_t>(nTaken));
}
