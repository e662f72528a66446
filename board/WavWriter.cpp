#include "board/WavWriter.h"

#include "modem/FeldHellRates.h"

#include <sndfile.h>

CWavWriter::~CWavWriter()
{
    Close();
}

bool CWavWriter::Open(const std::string& strPath)
{
    Close();
    SF_INFO info{};
    info.samplerate = FeldHellRates::kSampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    m_pFile = sf_open(strPath.c_str(), SFM_WRITE, &info);
    if (m_pFile == nullptr)
    {
        m_strError = "Can't create " + strPath + ": " + sf_strerror(nullptr);
        return false;
    }
    // Samples beyond full scale are clipped rather than wrapped round.
    sf_command(m_pFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    m_strPath = strPath;
    m_strError.clear();
    return true;
}

void CWavWriter::Close()
{
    if (m_pFile == nullptr)
        return;
    sf_close(m_pFile);
    m_pFile = nullptr;
}

void CWavWriter::Write(const float* pSamples, std::size_t nSamples)
{
    if (m_pFile == nullptr)
        return;
    const auto nWanted = static_cast<sf_count_t>(nSamples);
    if (sf_write_float(m_pFile, pSamples, nWanted) == nWanted)
        return;
    m_strError = "Can't write " + m_strPath + ": " + sf_strerror(m_pFile);
    Close();
}
