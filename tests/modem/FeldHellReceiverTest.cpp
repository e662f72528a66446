#include "modem/FeldHellReceiver.h"
#include "link/TxItems.h"
#include "modem/FeldHellTransmitter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace
{
// A column of 14 pixels with marks of 4 and 2 pixels.
bool IsMarked(std::size_t nPixel)
{
    const std::size_t nRow = nPixel % TxItems::kColumnItems;
    return (nRow >= 2 && nRow < 6) || (nRow >= 9 && nRow < 11);
}

// What a receiver makes of nPixels of that pattern sent by a transmitter, both at nSampleRate.
std::vector<std::uint8_t> Loopback(int nSampleRate, std::size_t nPixels)
{
    std::size_t nNext = 0;
    CFeldHellTransmitter transmitter(
        [&] { return static_cast<std::uint8_t>(IsMarked(nNext++) ? TxItems::kMarked : TxItems::kBlank); },
        1000.0, nSampleRate);
    CFeldHellReceiver receiver(1000.0, nSampleRate);
    std::vector<float> audio(
        static_cast<std::size_t>(FeldHellRates::FirstSampleOfPixel(nPixels, nSampleRate)));
    transmitter.Generate(audio.data(), audio.size());
    std::vector<std::uint8_t> levels;
    receiver.Process(audio.data(), audio.size(), levels);
    return levels;
}

// The level slot nearest the middle of pixel n: the transmitter plays it a pixel late, the
// filter delays it by half its length and the AGC by its look-ahead.
std::size_t SlotOfPixel(std::size_t nPixel)
{
    const double dDelay = 1.5 + CFeldHellReceiver::kFilterSeconds / 2 * FeldHellRates::kPixelRate +
                          static_cast<double>(CPeakAgc::kLookaheadSlots) / FeldHellRates::kLevelsPerPixel;
    return static_cast<std::size_t>(
        std::lround((static_cast<double>(nPixel) + dDelay) * FeldHellRates::kLevelsPerPixel));
}
} // namespace

TEST(FeldHellReceiver, GivesHighLevelsForMarkedPixelsAndLowForBlankOnesWhereTheyWereSent)
{
    const std::size_t nPixels = 245 * 10;
    const std::vector<std::uint8_t> levels = Loopback(8000, nPixels);
    ASSERT_EQ(levels.size(), nPixels * 2);
    for (std::size_t n = 1; SlotOfPixel(n + 1) < levels.size(); ++n)
    {
        if (IsMarked(n))
        {
            EXPECT_GT(levels[SlotOfPixel(n)], 100) << n;
        }
        else if (!IsMarked(n - 1) && !IsMarked(n + 1)) // clear of the filter's skirts
        {
            EXPECT_LT(levels[SlotOfPixel(n)], 20) << n;
        }
    }
}

TEST(FeldHellReceiver, GivesTheSamePictureAtTheSoundServersRates)
{
    const std::vector<std::uint8_t> reference = Loopback(8000, 245 * 10);
    for (const int nSampleRate : {44100, 48000})
    {
        const std::vector<std::uint8_t> levels = Loopback(nSampleRate, 245 * 10);
        ASSERT_EQ(levels.size(), reference.size()) << nSampleRate;
        for (std::size_t i = 0; i < levels.size(); ++i)
            ASSERT_NEAR(levels[i], reference[i], 6) << nSampleRate << " slot " << i;
    }
}

// Beyond the capture range a signal is not heard: the AGC shows the faint noise instead, whose
// peaks are as bright as marks but few. The signal's marks are a third of the picture.
TEST(FeldHellReceiver, FollowsBothEndsRetunedWhileRunning)
{
    std::size_t nNext = 0;
    CFeldHellTransmitter transmitter(
        [&] { return static_cast<std::uint8_t>(IsMarked(nNext++) ? TxItems::kMarked : TxItems::kBlank); },
        1500.0);
    CFeldHellReceiver receiver(1000.0);
    std::vector<float> audio(8000);
    std::vector<std::uint8_t> levels;
    std::mt19937 rng(3);
    std::normal_distribution<float> noise(0.0f, 0.05f);
    const auto brightShareOfASecond = [&]
    {
        levels.clear();
        transmitter.Generate(audio.data(), audio.size());
        for (float& f : audio)
            f += noise(rng);
        receiver.Process(audio.data(), audio.size(), levels);
        return static_cast<double>(std::count_if(levels.begin(), levels.end(), [](int n) { return n > 150; })) /
               static_cast<double>(levels.size());
    };
    brightShareOfASecond(); // the AGC finding its level
    EXPECT_LT(brightShareOfASecond(), 0.2); // 500 Hz off: nothing
    receiver.SetToneHz(1500.0);
    EXPECT_GT(brightShareOfASecond(), 0.3);
    transmitter.SetToneHz(2000.0);
    brightShareOfASecond(); // the AGC's hold of the last marks
    EXPECT_LT(brightShareOfASecond(), 0.2);
}

namespace
{
// The pattern keyed from the start of the audio for nSeconds, after nQuietSeconds of silence, in
// noise of nSigma (none for 0), at the tone dToneHz and in the mode.
std::vector<float> PatternAfterQuiet(double dQuietSeconds, double dSeconds, float fSigma, double dToneHz = 1000.0,
                                     const CHellMode& mode = HellModes::FeldHell())
{
    std::size_t nNext = 0;
    CFeldHellTransmitter transmitter(
        [&] { return static_cast<std::uint8_t>(IsMarked(nNext++) ? TxItems::kMarked : TxItems::kBlank); },
        dToneHz, FeldHellRates::kSampleRate, mode);
    const auto nQuiet = static_cast<std::size_t>(dQuietSeconds * 8000);
    std::vector<float> audio(nQuiet + static_cast<std::size_t>(dSeconds * 8000));
    transmitter.Generate(audio.data() + nQuiet, audio.size() - nQuiet);
    std::mt19937 rng(5);
    std::normal_distribution<float> noise(0.0f, fSigma > 0 ? fSigma : 1.0f);
    if (fSigma > 0)
        for (float& f : audio)
            f += noise(rng);
    return audio;
}

// The mean level at the middle of the marked (or blank) pixels [nFrom, nTo) of the pattern, its
// first pixel played at level slot nStartSlot.
double MarkLevel(const std::vector<std::uint8_t>& levels, std::size_t nStartSlot, std::size_t nFrom, std::size_t nTo,
                 bool bMarked = true)
{
    double dSum = 0.0;
    int nCount = 0;
    for (std::size_t n = nFrom; n < nTo; ++n)
        if (IsMarked(n) == bMarked && nStartSlot + SlotOfPixel(n) < levels.size())
        {
            dSum += levels[nStartSlot + SlotOfPixel(n)];
            ++nCount;
        }
    return nCount > 0 ? dSum / nCount : 0.0;
}

std::vector<std::uint8_t> Receive(const std::vector<float>& audio, CFeldHellReceiver& receiver)
{
    std::vector<std::uint8_t> levels;
    receiver.Process(audio.data(), audio.size(), levels);
    return levels;
}
} // namespace

// After ten seconds of silence or of noise, the first marks of a signal come out as bright as
// the signal's marks do once it has run for a while: the first 100 ms within a fifth.
TEST(FeldHellReceiver, PaintsTheFirstMarksAfterAQuietSpellAsBrightAsSteadyOnes)
{
    for (const float fSigma : {0.0f, 0.05f})
    {
        CFeldHellReceiver receiver;
        const std::vector<std::uint8_t> levels = Receive(PatternAfterQuiet(10.0, 20.0, fSigma), receiver);
        const std::size_t nStart = 10 * FeldHellRates::kLevelRate;
        const double dSteady = MarkLevel(levels, nStart, 245 * 10, 245 * 19);
        const double dFirst = MarkLevel(levels, nStart, 0, 245 / 10);
        EXPECT_GT(dSteady, 150) << "noise " << fSigma;
        EXPECT_NEAR(dFirst, dSteady, 0.2 * dSteady) << "noise " << fSigma;
    }
}

// Copies of a signal, each after ten seconds of silence, all come out alike: the level neither
// stays down after a quiet spell nor climbs so high on it that the next copy clips; a long
// steady signal never clips either.
TEST(FeldHellReceiver, NeitherPumpsNorClipsOnCopiesAfterQuietSpells)
{
    CFeldHellReceiver receiver;
    std::vector<double> copies;
    for (int nCopy = 0; nCopy < 3; ++nCopy)
    {
        const std::vector<std::uint8_t> levels = Receive(PatternAfterQuiet(10.0, 6.0, 0.0f), receiver);
        copies.push_back(MarkLevel(levels, 10 * FeldHellRates::kLevelRate, 0, 245 * 6 - 10));
        EXPECT_LT(*std::max_element(levels.begin(), levels.end()), 255) << "copy " << nCopy;
    }
    for (const double dLevel : copies)
        EXPECT_NEAR(dLevel, copies[0], 0.2 * copies[0]);
}

// A signal 200 Hz above the tone is found and listened to; without AFC it is not.
TEST(FeldHellReceiver, FindsAndFollowsASignalWithinTheCaptureRange)
{
    const std::vector<float> audio = PatternAfterQuiet(0.0, 4.0, 0.02f, 1200.0);
    CFeldHellReceiver receiver;
    const std::vector<std::uint8_t> levels = Receive(audio, receiver);
    EXPECT_NEAR(receiver.GetListeningHz(), 1200.0, 3.0);
    EXPECT_GT(MarkLevel(levels, 0, 245 * 2, 245 * 4), 150);

    CFeldHellReceiver fixed;
    fixed.SetAfc(false);
    Receive(audio, fixed);
    EXPECT_EQ(fixed.GetListeningHz(), 1000.0);
}

// An FSK station is found by its two tones and listened to in the middle between them, whichever
// side of the tone it lies: its blank tone, the stronger, taken alone draws the receiver towards
// itself, and the blank pixels grow grey.
TEST(FeldHellReceiver, FindsAnFskStationsCentreAndReadsIt)
{
    const CHellMode& fsk = *HellModes::Find("FSKHELL245");
    for (const double dStationHz : {960.0, 1045.0})
    {
        const std::vector<float> audio = PatternAfterQuiet(0.0, 6.0, 0.05f, dStationHz, fsk);
        CFeldHellReceiver receiver(1000.0, FeldHellRates::kSampleRate, fsk);
        const std::vector<std::uint8_t> levels = Receive(audio, receiver);
        EXPECT_NEAR(receiver.GetListeningHz(), dStationHz, 3.0);
        EXPECT_GT(MarkLevel(levels, 0, 245 * 3, 245 * 6), 150) << dStationHz;
        EXPECT_LT(MarkLevel(levels, 0, 245 * 3, 245 * 6, false), 50) << dStationHz;
    }
}

TEST(FeldHellReceiver, StaysOnTheToneInNoiseAlone)
{
    CFeldHellReceiver receiver;
    Receive(PatternAfterQuiet(10.0, 0.0, 0.1f), receiver);
    EXPECT_EQ(receiver.GetListeningHz(), 1000.0);
}

// A signal drifting 1 Hz a second from 30 Hz below the tone to 30 Hz above stays in the picture.
TEST(FeldHellReceiver, FollowsAStationDriftingOneHertzASecond)
{
    std::size_t nNext = 0;
    CFeldHellTransmitter transmitter(
        [&] { return static_cast<std::uint8_t>(IsMarked(nNext++) ? TxItems::kMarked : TxItems::kBlank); }, 970.0);
    CFeldHellReceiver receiver;
    std::vector<float> audio(800);
    std::vector<std::uint8_t> levels;
    for (int nStep = 0; nStep < 600; ++nStep) // 60 s
    {
        const double dSignalHz = 970.0 + nStep * 0.1;
        transmitter.SetToneHz(dSignalHz);
        transmitter.Generate(audio.data(), audio.size());
        receiver.Process(audio.data(), audio.size(), levels);
        if (nStep > 10)
        {
            ASSERT_NEAR(receiver.GetListeningHz(), dSignalHz, 5.0) << "after " << nStep / 10.0 << " s";
        }
    }
}

// The spectra handed on for a waterfall show a tone in its bin at its power.
TEST(FeldHellReceiver, HandsOnSpectraWithTheToneInItsBin)
{
    CFeldHellReceiver receiver;
    std::vector<float> last;
    int nSpectra = 0;
    receiver.SetSpectrumHandler(
        [&](std::span<const float> power)
        {
            last.assign(power.begin(), power.end());
            ++nSpectra;
        });
    std::vector<float> audio(8000);
    for (std::size_t i = 0; i < audio.size(); ++i)
        audio[i] = 0.5f * static_cast<float>(std::cos(2 * std::numbers::pi * 1500.0 * static_cast<double>(i) / 8000));
    Receive(audio, receiver);
    EXPECT_NEAR(nSpectra, 16, 1);
    const auto nPeak = static_cast<std::size_t>(std::max_element(last.begin(), last.end()) - last.begin());
    EXPECT_NEAR(static_cast<double>(nPeak) * receiver.GetBinHz(), 1500.0, receiver.GetBinHz());
    EXPECT_NEAR(last[nPeak], 0.25, 0.25 * 0.3); // a Hann window loses up to 1.4 dB between bins
}
