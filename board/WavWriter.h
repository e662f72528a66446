#pragma once

#include "board/AudioStream.h"

#include <string>

struct sf_private_tag;

// Writes audio to a mono 16-bit WAV file at 8000 samples a second.
class CWavWriter : public IAudioSink
{
public:
    CWavWriter() = default;
    ~CWavWriter() override;
    CWavWriter(const CWavWriter&) = delete;
    CWavWriter& operator=(const CWavWriter&) = delete;

    // Creates or replaces the file. False, with GetError, when it cannot. A write that fails
    // (a full disk) is kept in GetError too, and the file is closed.
    bool Open(const std::string& strPath);
    // Writes what is buffered and closes the file; the destructor does the same.
    void Close();
    void Write(const float* pSamples, std::size_t nSamples) override;
    const std::string& GetError() const { return m_strError; }

private:
    sf_private_tag* m_pFile = nullptr;
    std::string m_strPath;
    std::string m_strError;
};
