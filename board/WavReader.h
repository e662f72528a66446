#pragma once

#include "board/AudioStream.h"

#include <string>
#include <string_view>
#include <vector>

struct sf_private_tag;
struct msresamp_rrrf_s;

// Reads the audio of a WAV file (or any file the sound-file library knows) as 8000 samples a
// second: one channel of several, or all mixed to one, and any other rate resampled. After the
// end, silence.
class CWavReader : public IAudioSource
{
public:
    // Which channel of a file with several: the first (left), the second (right) or all mixed.
    // A file with one channel gives it for each.
    enum class EChannel
    {
        Mix,
        Left,
        Right,
    };
    // "left", "right" or "mix".
    static bool ParseChannel(std::string_view str, EChannel& nChannel);

    explicit CWavReader(EChannel nChannel = EChannel::Mix) : m_nChannel(nChannel) {}
    ~CWavReader() override;
    CWavReader(const CWavReader&) = delete;
    CWavReader& operator=(const CWavReader&) = delete;

    // False, with GetError, when the file cannot be opened or read as audio.
    bool Open(const std::string& strPath);
    void Read(float* pSamples, std::size_t nSamples) override;
    // Everything in the file has been read out.
    bool IsFinished() const { return m_pFile == nullptr && m_Pending.empty(); }
    const std::string& GetError() const { return m_strError; }
    const std::string& GetPath() const { return m_strPath; }
    int GetFileRate() const { return m_nFileRate; }

private:
    void Close();
    void Fill(std::size_t nWanted);

    sf_private_tag* m_pFile = nullptr;
    msresamp_rrrf_s* m_pResampler = nullptr;
    EChannel m_nChannel;
    std::string m_strPath;
    int m_nChannels = 1;
    int m_nFileRate = 0;
    std::vector<float> m_Frames;  // one block as read, all channels
    std::vector<float> m_Mono;    // the block mixed to one channel
    std::vector<float> m_Pending; // at 8000 a second, not yet handed out
    std::string m_strError;
};
