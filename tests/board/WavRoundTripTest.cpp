#include "BoardTestUtil.h"

#include "board/BoardEngine.h"
#include "board/PlayOnOpen.h"
#include "board/WavReader.h"
#include "board/WavWriter.h"

#include <complex>

#include <liquid/liquid.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <optional>
#include <random>
#include <unistd.h>

namespace
{
const std::string kText = " WAV ROUND TRIP 599 ";

std::string TempPath(const std::string& strName)
{
    return (std::filesystem::temp_directory_path() /
            ("skrivel-wav-" + std::to_string(getpid()) + "-" + strName))
        .string();
}

// Board A transmits the text with its audio recorded to strPath.
void Record(const std::string& strPath, const CBoardSettings& settings = {})
{
    CBoardEngine engine(settings, BundledFont());
    CWavWriter writer;
    ASSERT_TRUE(writer.Open(strPath)) << writer.GetError();
    engine.AddTransmitSink(&writer);
    std::vector<std::uint8_t> bytes(200, 0);
    const std::vector<std::uint8_t> text = TxBytesOf(kText);
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.insert(bytes.end(), 200, 0);
    std::vector<CBoardEngine::Levels> levels(1);
    for (const std::uint8_t nByte : bytes)
        engine.StepPixel(std::vector<std::uint8_t>{nByte}, levels);
    writer.Close();
    EXPECT_TRUE(writer.GetError().empty());
}

// Board B receives the file's audio (the channel chosen of several); gives the text read from
// its picture.
// Noise added to what a source gives: white, dSnr dB below the recorded tone in 2500 Hz.
class CNoisySource : public IAudioSource
{
public:
    CNoisySource(IAudioSource& source, double dSnr)
        : m_Source(source),
          m_fSigma(static_cast<float>(CBoardEngine::kTxAudioLevel *
                                      std::sqrt(0.5 * 4000.0 / 2500.0 * std::pow(10.0, -dSnr / 10.0))))
    {
    }
    void Read(float* pSamples, std::size_t nSamples) override
    {
        m_Source.Read(pSamples, nSamples);
        for (std::size_t i = 0; i < nSamples; ++i)
            pSamples[i] += m_fSigma * m_Noise(m_Rng);
    }

private:
    IAudioSource& m_Source;
    float m_fSigma;
    std::mt19937 m_Rng{7};
    std::normal_distribution<float> m_Noise;
};

std::string Play(const std::string& strPath, std::int64_t nPixels,
                 CWavReader::EChannel nChannel = CWavReader::EChannel::Mix, const CBoardSettings& settings = {},
                 std::optional<double> snrDb = {})
{
    CBoardEngine engine(settings, BundledFont());
    CWavReader reader(nChannel);
    EXPECT_TRUE(reader.Open(strPath)) << reader.GetError();
    CNoisySource noisy(reader, snrDb.value_or(0.0));
    engine.SetReceivedAudio(snrDb ? static_cast<IAudioSource*>(&noisy) : &reader);
    const std::vector<std::uint8_t> received = engine.RunReceiving(nPixels);
    EXPECT_TRUE(reader.IsFinished());
    return CHellReader::TextOf(CHellReader(BundledFont()).Read(received));
}

TEST(WavRoundTrip, ARecordedTransmissionPlaysBackIntoAnotherBoard)
{
    const std::string strPath = TempPath("tx.wav");
    Record(strPath);
    SF_INFO info{};
    SNDFILE* pFile = sf_open(strPath.c_str(), SFM_READ, &info);
    ASSERT_NE(pFile, nullptr);
    EXPECT_EQ(info.samplerate, 8000);
    EXPECT_EQ(info.channels, 1);
    sf_close(pFile);

    EXPECT_NE(Play(strPath, 3000).find(kText.substr(1, kText.size() - 2)), std::string::npos);
    std::filesystem::remove(strPath);
}

// Every mode: one board's recording, read back by another at +10 dB without an error. The wide
// modes need a tone with room below it for their sidebands.
TEST(WavRoundTrip, EveryModeIsReadBackWithoutErrorsAtPlus10Db)
{
    for (const CHellMode& mode : HellModes::All())
    {
        CBoardSettings settings;
        settings.m_Mode = mode;
        settings.m_dToneHz = mode.GetRoomyToneHz();
        const std::string strPath = TempPath(std::string(mode.m_strWord) + ".wav");
        Record(strPath, settings);
        const std::string strText = Play(strPath, 3000, CWavReader::EChannel::Mix, settings, 10.0);
        EXPECT_NE(strText.find(kText.substr(1, kText.size() - 2)), std::string::npos)
            << mode.m_strName << ": " << strText;
        std::filesystem::remove(strPath);
    }
}

// The recorded samples.
std::vector<float> ReadMono(const std::string& strPath)
{
    SF_INFO info{};
    SNDFILE* pIn = sf_open(strPath.c_str(), SFM_READ, &info);
    EXPECT_NE(pIn, nullptr);
    if (pIn == nullptr)
        return {};
    std::vector<float> mono(static_cast<std::size_t>(info.frames));
    sf_readf_float(pIn, mono.data(), info.frames);
    sf_close(pIn);
    return mono;
}

void WriteStereo(const std::string& strPath, const std::vector<float>& frames, int nRate)
{
    SF_INFO out{};
    out.samplerate = nRate;
    out.channels = 2;
    out.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* pOut = sf_open(strPath.c_str(), SFM_WRITE, &out);
    ASSERT_NE(pOut, nullptr);
    sf_writef_float(pOut, frames.data(), static_cast<sf_count_t>(frames.size() / 2));
    sf_close(pOut);
}
} // namespace

TEST(WavRoundTrip, AStereoFileAt48kHzIsMixedAndResampled)
{
    const std::string strPath = TempPath("tx.wav");
    Record(strPath);
    // The recording, brought to 48 kHz stereo as a sound editor would save it.
    std::vector<float> mono = ReadMono(strPath);
    msresamp_rrrf resampler = msresamp_rrrf_create(6.0f, 60.0f);
    std::vector<float> high(mono.size() * 6 + 64);
    unsigned nHigh = 0;
    msresamp_rrrf_execute(resampler, mono.data(), static_cast<unsigned>(mono.size()), high.data(), &nHigh);
    msresamp_rrrf_destroy(resampler);
    std::vector<float> stereo;
    for (unsigned i = 0; i < nHigh; ++i)
        stereo.insert(stereo.end(), {high[i], high[i]});

    const std::string strHigh = TempPath("tx48.wav");
    WriteStereo(strHigh, stereo, 48000);

    CWavReader reader;
    ASSERT_TRUE(reader.Open(strHigh));
    EXPECT_EQ(reader.GetFileRate(), 48000);
    EXPECT_NE(Play(strHigh, 3000).find(kText.substr(1, kText.size() - 2)), std::string::npos);
    std::filesystem::remove(strPath);
    std::filesystem::remove(strHigh);
}

TEST(WavRoundTrip, FilesThatAreNotThereOrNotAudioAreRefusedWithAReason)
{
    CWavReader reader;
    EXPECT_FALSE(reader.Open(TempPath("missing.wav")));
    EXPECT_FALSE(reader.GetError().empty());
    CWavWriter writer;
    EXPECT_FALSE(writer.Open("/nonexistent-dir/x.wav"));
    EXPECT_FALSE(writer.GetError().empty());
}

// Two channels in opposite phase cancel when mixed; either alone is read.
TEST(WavRoundTrip, AStereoFileIsReadFromTheChannelChosen)
{
    const std::string strPath = TempPath("tx.wav");
    Record(strPath);
    std::vector<float> stereo;
    for (const float f : ReadMono(strPath))
        stereo.insert(stereo.end(), {f, -f});
    const std::string strStereo = TempPath("opposite.wav");
    WriteStereo(strStereo, stereo, 8000);
    const std::string strText = kText.substr(1, kText.size() - 2);
    EXPECT_EQ(Play(strStereo, 3000).find(strText), std::string::npos);
    EXPECT_NE(Play(strStereo, 3000, CWavReader::EChannel::Left).find(strText), std::string::npos);
    EXPECT_NE(Play(strStereo, 3000, CWavReader::EChannel::Right).find(strText), std::string::npos);
    std::filesystem::remove(strPath);
    std::filesystem::remove(strStereo);
}

// A recording waits, silent, for the port to be opened, then plays from its start and says when
// it has ended.
TEST(WavRoundTrip, ARecordingStartsWhenThePortIsOpenedAndSaysWhenItHasEnded)
{
    const std::string strPath = TempPath("tx.wav");
    Record(strPath);
    const std::vector<float> recorded = ReadMono(strPath);
    CWavReader reader;
    ASSERT_TRUE(reader.Open(strPath));
    bool bOpened = false;
    std::vector<std::string> said;
    CPlayOnOpen play(reader, [&] { return bOpened; }, [&](const std::string& str) { said.push_back(str); });
    std::vector<float> block(8000, 1.0f);
    play.Read(block.data(), block.size());
    EXPECT_EQ(std::count(block.begin(), block.end(), 0.0f), 8000); // a second, and nothing played
    bOpened = true;
    std::vector<float> played;
    while (played.size() < recorded.size() + 1600)
    {
        play.Read(block.data(), 1600);
        played.insert(played.end(), block.begin(), block.begin() + 1600);
    }
    played.resize(recorded.size());
    EXPECT_EQ(played, recorded); // from its first sample on
    ASSERT_EQ(said.size(), 3u);
    EXPECT_EQ(said[0], "Waiting for a program to open the port before playing " + strPath);
    EXPECT_EQ(said[1], "Playing " + strPath);
    EXPECT_EQ(said[2], "The end of " + strPath + ": silence follows");
    std::filesystem::remove(strPath);
}
