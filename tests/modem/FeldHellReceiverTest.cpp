#include "modem/FeldHellReceiver.h"
#include "link/TxItems.h"
#include "modem/FeldHellTransmitter.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// The level slot nearest the middle of pixel n: the transmitter plays it a pixel late, and the
// filter delays it by half its length.
std::size_t SlotOfPixel(std::size_t nPixel)
{
    const double dDelay = 1.5 + CFeldHellReceiver::kFilterSeconds / 2 * FeldHellRates::kPixelRate;
    return static_cast<std::size_t>(
        std::lround((static_cast<double>(nPixel) + dDelay) * FeldHellRates::kLevelsPerPixel));
}
} // namespace

TEST(FeldHellReceiver, GivesHighLevelsForMarkedPixelsAndLowForBlankOnesWhereTheyWereSent)
{
    const std::size_t nPixels = 245 * 10;
    const std::vector<std::uint8_t> levels = Loopback(8000, nPixels);
    ASSERT_EQ(levels.size(), nPixels * 2);
    for (std::size_t n = 1; n + 4 < nPixels; ++n)
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

TEST(FeldHellReceiver, FollowsBothEndsRetunedWhileRunning)
{
    std::size_t nNext = 0;
    CFeldHellTransmitter transmitter(
        [&] { return static_cast<std::uint8_t>(IsMarked(nNext++) ? TxItems::kMarked : TxItems::kBlank); },
        1500.0);
    CFeldHellReceiver receiver(1000.0);
    std::vector<float> audio(8000);
    std::vector<std::uint8_t> levels;
    const auto peakOfASecond = [&]
    {
        levels.clear();
        transmitter.Generate(audio.data(), audio.size());
        receiver.Process(audio.data(), audio.size(), levels);
        return *std::max_element(levels.begin() + 10, levels.end()); // past the last retuning
    };
    EXPECT_LT(peakOfASecond(), 10); // 500 Hz off: nothing
    receiver.SetToneHz(1500.0);
    EXPECT_GT(peakOfASecond(), 150);
    transmitter.SetToneHz(2000.0);
    EXPECT_LT(peakOfASecond(), 10);
}
