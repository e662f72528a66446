#include "modem/FeldHellTransmitter.h"
#include "link/TxItems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace
{
// A transmitter that plays the items, then receive for ever.
CFeldHellTransmitter Playing(const std::vector<std::uint8_t>& items)
{
    return CFeldHellTransmitter([items, n = std::size_t{0}]() mutable
                                { return n < items.size() ? items[n++] : std::uint8_t{TxItems::kReceive}; });
}
} // namespace

TEST(FeldHellTransmitter, KeysWithRaisedCosineEdgesOnePixelLate)
{
    // The transmitter plays item k from pixel time k + 1.
    CFeldHellTransmitter transmitter =
        Playing({TxItems::kBlank, TxItems::kMarked, TxItems::kMarked, TxItems::kMarked, TxItems::kBlank});
    std::vector<std::complex<float>> out(8000);
    transmitter.GenerateAnalytic(out.data(), out.size());
    const double dPixel = 8000.0 / FeldHellRates::kPixelRate; // samples
    const auto at = [&](double dSample)
    { return std::abs(out[static_cast<std::size_t>(std::lround(dSample))]); };
    const double dRise = 2 * dPixel;        // item 1 starts playing here
    EXPECT_NEAR(at(dRise - 16), 0.0, 1e-3); // 2 ms before the boundary: still off
    EXPECT_NEAR(at(dRise), 0.5, 0.05);      // half-way at the boundary
    EXPECT_NEAR(at(dRise + 16), 1.0, 1e-3); // 2 ms after: fully on
    EXPECT_NEAR(at(dRise + 2 * dPixel), 1.0, 1e-3);
    const double dFall = 5 * dPixel;
    EXPECT_NEAR(at(dFall), 0.5, 0.05);
    EXPECT_NEAR(at(dFall + 16), 0.0, 1e-3);
    // The tone itself: 1000 Hz is an eighth of a turn per sample.
    const std::size_t i = static_cast<std::size_t>(dRise + dPixel);
    EXPECT_NEAR(std::arg(out[i + 1] / out[i]), 2 * std::numbers::pi / 8, 1e-3);
}

TEST(FeldHellTransmitter, SoundsOnlyForMarkedItemsAndIsKeyedAroundEverySoundedSample)
{
    // Receive, tone without key (sends nothing), blank, marked, blank, receive: the real audio
    // sounds for the marked pixel alone, and the transmitter is keyed wherever it sounds.
    CFeldHellTransmitter transmitter = Playing(
        {0, 0, TxItems::kTone, TxItems::kTone, 0, TxItems::kBlank, TxItems::kMarked, TxItems::kBlank, 0, 0});
    const int nPixel = 8000 / FeldHellRates::kPixelRate + 1; // whole samples, at least a pixel
    float fPeak = 0.0f;
    int nSounded = 0;
    int nKeyed = 0;
    for (int i = 0; i < 14 * nPixel; ++i)
    {
        float f = 0.0f;
        transmitter.Generate(&f, 1);
        fPeak = std::max(fPeak, std::abs(f));
        nSounded += std::abs(f) > 1e-4f ? 1 : 0;
        nKeyed += transmitter.IsKeyed() ? 1 : 0;
        EXPECT_TRUE(std::abs(f) <= 1e-4f || transmitter.IsKeyed()) << i;
        EXPECT_TRUE((i >= 4 * nPixel && i <= 11 * nPixel) || !transmitter.IsKeyed()) << i;
    }
    EXPECT_NEAR(fPeak, 1.0f, 1e-3f);
    EXPECT_GT(nSounded, nPixel - 2); // one pixel and its edges, about 33 + 32 samples
    EXPECT_LT(nSounded, 2 * nPixel + 2);
    EXPECT_NEAR(nKeyed, 5 * nPixel, 5); // from taking the blank until the pixel after the last one
}
