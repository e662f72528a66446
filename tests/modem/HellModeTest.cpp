#include "link/TxItems.h"
#include "modem/FeldHellReceiver.h"
#include "modem/FeldHellTransmitter.h"
#include "modem/HellMode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace
{
const CHellMode& Fsk()
{
    return *HellModes::Find("FSKHELL245");
}

// The audio of items played by a transmitter of the mode at 8000 samples a second, as an analytic
// signal.
std::vector<std::complex<float>> Play(const std::vector<std::uint8_t>& items, const CHellMode& mode,
                                      float fAmplitude = 1.0f)
{
    std::size_t nNext = 0;
    CFeldHellTransmitter transmitter([&] { return nNext < items.size() ? items[nNext++] : std::uint8_t{0}; },
                                     1000.0, 8000, mode);
    std::vector<std::complex<float>> audio(
        static_cast<std::size_t>(mode.FirstSampleOfPixel(static_cast<std::int64_t>(items.size()) + 1, 8000)));
    transmitter.GenerateAnalytic(audio.data(), audio.size());
    for (std::complex<float>& c : audio)
        c *= fAmplitude;
    return audio;
}

// The frequency of the analytic signal from sample n on, from the phase step over nSpan samples.
// Over 8 samples (a cycle of 1000 Hz) it gives the offset from 1000 Hz, and the NCO's phase table,
// which makes single steps vary by several hertz, counts for about one.
double FrequencyAt(const std::vector<std::complex<float>>& audio, std::size_t n, std::size_t nSpan = 1)
{
    return std::arg(audio[n + nSpan] * std::conj(audio[n])) * 8000 / (2 * std::numbers::pi * static_cast<double>(nSpan));
}
} // namespace

TEST(HellMode, EachModeHasItsPaceWithExactBoundariesAndIsFoundByItsWord)
{
    ASSERT_EQ(HellModes::All().size(), 5u);
    EXPECT_EQ(&HellModes::FeldHell(), &HellModes::All()[0]);
    EXPECT_DOUBLE_EQ(HellModes::Find("FELDHELL")->GetPixelRate(), 245.0);
    EXPECT_DOUBLE_EQ(HellModes::Find("SLOWHELL")->GetPixelRate(), 30.625);
    EXPECT_DOUBLE_EQ(HellModes::Find("HELLX5")->GetPixelRate(), 1225.0);
    EXPECT_DOUBLE_EQ(HellModes::Find("HELLX9")->GetPixelRate(), 2205.0);
    EXPECT_DOUBLE_EQ(Fsk().GetPixelRate(), 245.0);
    EXPECT_DOUBLE_EQ(Fsk().m_dShiftHz, 122.5);
    EXPECT_EQ(HellModes::Find("feldhell"), nullptr);
    EXPECT_EQ(HellModes::Find(""), nullptr);
    // 49 Slow Hell levels are 6400 samples at 8000 a second; a Hell X9 column is 51 samples less a
    // ninth: the boundaries fall where the pace puts them, never rounded early.
    const CHellMode& slow = *HellModes::Find("SLOWHELL");
    EXPECT_EQ(slow.FirstSampleOfLevel(49, 8000), 6400);
    EXPECT_EQ(slow.FirstSampleOfLevel(50, 8000), 6531);
    const CHellMode& x9 = *HellModes::Find("HELLX9");
    EXPECT_EQ(x9.FirstSampleOfPixel(14, 8000), 51);
    EXPECT_EQ(x9.FirstSampleOfPixel(2205, 8000), 8000);
    EXPECT_EQ(HellModes::FeldHell().FirstSampleOfLevel(490, 8000), 8000);
}

// FSK Hell: keyed, the tone never stops; a marked pixel sits half the shift below the tone, a
// blank one half above, and the phase runs on across every change.
TEST(HellMode, FskSendsMarkedPixelsOnTheLowerToneWithoutAJumpInPhase)
{
    std::vector<std::uint8_t> items;
    for (int n = 0; n < 40; ++n)
        items.push_back(static_cast<std::uint8_t>(n % 3 == 0 ? TxItems::kMarked : TxItems::kBlank));
    const std::vector<std::complex<float>> audio = Play(items, Fsk());
    const double dPixel = 8000.0 / 245;
    for (std::size_t n = 2; n + 2 < items.size(); ++n)
    {
        // Pixel n plays from pixel time n + 1; its middle is clear of both edges.
        const auto nMiddle = static_cast<std::size_t>((static_cast<double>(n) + 1.5) * dPixel);
        const double dExpected = items[n] == TxItems::kMarked ? 1000.0 - 61.25 : 1000.0 + 61.25;
        EXPECT_NEAR(1000.0 + FrequencyAt(audio, nMiddle - 4, 8), dExpected, 1.5) << n;
        EXPECT_NEAR(std::abs(audio[nMiddle]), 1.0, 1e-3) << n;
    }
    const auto nFirst = static_cast<std::size_t>(3 * dPixel);
    const auto nLast = static_cast<std::size_t>(static_cast<double>(items.size()) * dPixel);
    for (std::size_t i = nFirst; i < nLast; ++i)
        ASSERT_NEAR(FrequencyAt(audio, i), 1000.0, 61.25 + 10.0) << i;
}

// The FSK receiver paints where the signal sits between the tones: a blank pixel stays dark
// however strong the signal, a marked one bright however weak.
TEST(HellMode, FskBlankPixelsStayDarkAtAnyStrength)
{
    std::vector<std::uint8_t> items;
    for (int n = 0; n < 245 * 4; ++n)
        items.push_back(static_cast<std::uint8_t>(n / 7 % 2 == 0 ? TxItems::kMarked : TxItems::kBlank));
    for (const float fAmplitude : {1.0f, 0.01f})
    {
        const std::vector<std::complex<float>> analytic = Play(items, Fsk(), fAmplitude);
        std::vector<float> audio;
        for (const std::complex<float> c : analytic)
            audio.push_back(c.real());
        CFeldHellReceiver receiver(1000.0, 8000, Fsk());
        std::vector<std::uint8_t> levels;
        receiver.Process(audio.data(), audio.size(), levels);
        // Past the first second: the middle of each run of 7 pixels, two slots a pixel, with the
        // transmitter's pixel, the filter's 10 ms and the AGC's 6 slots of delay.
        int nMarks = 0;
        for (std::size_t n = 245 + 3; n + 14 < items.size(); n += 7)
        {
            const std::size_t nSlot = 2 * (n + 1) + 5 + 6;
            if (items[n] == TxItems::kMarked)
            {
                EXPECT_GT(levels[nSlot], 180) << fAmplitude << " pixel " << n;
                ++nMarks;
            }
            else
                EXPECT_LT(levels[nSlot], 40) << fAmplitude << " pixel " << n;
        }
        EXPECT_GT(nMarks, 50);
    }
}
