#include "BoardTestUtil.h"

#include "board/BoardEngine.h"
#include "board/Fader.h"
#include "board/RemoteStation.h"
#include "board/TextCompare.h"

#include <cmath>
#include <complex>
#include <numeric>

namespace
{
// Board 0 transmits the bytes (then nothing for nTail pixels); gives what board nListener received.
std::vector<std::uint8_t> Transmit(CBoardEngine& engine, const std::vector<std::uint8_t>& bytes,
                                   int nListener, int nTail = 200)
{
    std::vector<std::uint8_t> received;
    std::vector<CBoardEngine::Levels> levels(static_cast<std::size_t>(engine.GetBoardCount()));
    std::vector<std::uint8_t> tx(levels.size(), 0);
    for (std::size_t n = 0; n < bytes.size() + static_cast<std::size_t>(nTail); ++n)
    {
        tx[0] = n < bytes.size() ? bytes[n] : 0;
        engine.StepPixel(tx, levels);
        received.insert(received.end(), levels[static_cast<std::size_t>(nListener)].begin(),
                        levels[static_cast<std::size_t>(nListener)].end());
    }
    return received;
}

std::string ReadText(const std::vector<std::uint8_t>& received)
{
    return CHellReader::TextOf(CHellReader(BundledFont()).Read(received));
}
} // namespace

TEST(Fader, HasUnitMeanPowerAndDeepFades)
{
    CFader fader(0.5, 9);
    double dPower = 0.0;
    double dMin = 1e9;
    double dMax = 0.0;
    const int nSamples = 8000 * 600;
    for (int i = 0; i < nSamples; ++i)
    {
        const double d = std::abs(fader.Next());
        dPower += d * d;
        dMin = std::min(dMin, d);
        dMax = std::max(dMax, d);
    }
    EXPECT_NEAR(dPower / nSamples, 1.0, 0.25);
    EXPECT_LT(dMin, 0.2);
    EXPECT_GT(dMax, 1.5);
}

TEST(BoardEngine, ReadsTheRemoteStationWithoutErrorsAt10dB)
{
    CBoardSettings settings;
    settings.m_strRemoteText = "CQ CQ DE SIM K";
    settings.m_SnrDb = 10.0;
    CBoardEngine engine(settings, BundledFont());
    const std::string strRead = ReadText(engine.RunReceiving(40 * 98));
    ASSERT_GT(strRead.size(), 35u);
    EXPECT_EQ(TextCompare::CountErrors(strRead.substr(1, strRead.size() - 2), engine.GetRemote()->GetSent()),
              0)
        << strRead;
}

TEST(BoardEngine, ARemoteClockFastBy200ppmSlantsThePictureByItsShareOfALine)
{
    CBoardSettings settings;
    settings.m_strRemoteText = "RYRYRY THE QUICK BROWN FOX 73";
    settings.m_dRemotePpm = 200.0;
    CBoardEngine engine(settings, BundledFont());
    const std::vector<CReadCell> cells = CHellReader(BundledFont()).Read(engine.RunReceiving(3 * 35 * 98));
    // Least squares line through the starts of the cells that hold a glyph, against the cell count
    // (the last cell is cut off by the end of the picture).
    double dSx = 0, dSy = 0, dSxx = 0, dSxy = 0;
    int n = 0;
    for (std::size_t k = 1; k + 1 < cells.size(); ++k)
        if (cells[k].m_nCode != ' ')
        {
            const double x = static_cast<double>(k);
            const double y = cells[k].m_dStart - CHellReader::kCellSamples * x;
            dSx += x, dSy += y, dSxx += x * x, dSxy += x * y, ++n;
        }
    ASSERT_GT(n, 60);
    const double dSlope = (n * dSxy - dSx * dSy) / (n * dSxx - dSx * dSx);
    // The station's cells are 196 / (1 + 200e-6) samples long: 35 of them, one line, come out
    // 1.37 samples short, so each line's characters start that much lower in their columns.
    const double dExpectedPerLine = -35.0 * CHellReader::kCellSamples * 200e-6 / (1 + 200e-6);
    EXPECT_NEAR(dSlope * 35.0, dExpectedPerLine, 0.1);
}

TEST(BoardEngine, BoardsOfAPairHearEachOtherAndThemselvesOnlyWhenMonitoring)
{
    const std::vector<std::uint8_t> bytes = TxBytesOf(" PAIR TEST ");
    CBoardSettings settings;
    settings.m_bPair = true;
    {
        CBoardEngine engine(settings, BundledFont());
        EXPECT_NE(ReadText(Transmit(engine, bytes, 1)).find("PAIR TEST"), std::string::npos);
    }
    {
        CBoardEngine engine(settings, BundledFont());
        const std::vector<std::uint8_t> own = Transmit(engine, bytes, 0);
        EXPECT_EQ(*std::max_element(own.begin(), own.end()), 0);
    }
    settings.m_bMonitor = true;
    CBoardEngine engine(settings, BundledFont());
    EXPECT_NE(ReadText(Transmit(engine, bytes, 0)).find("PAIR TEST"), std::string::npos);
}

TEST(BoardEngine, AnUnkeyedOrToneOnlyByteSendsNothing)
{
    CBoardSettings settings;
    settings.m_bPair = true;
    CBoardEngine engine(settings, BundledFont());
    for (const std::uint8_t nByte : {0, 2, 4})
    {
        const std::vector<std::uint8_t> received =
            Transmit(engine, std::vector<std::uint8_t>(300, nByte), 1, 0);
        EXPECT_EQ(*std::max_element(received.begin(), received.end()), 0) << int{nByte};
    }
}

// A station 200 Hz off the tone is found by AFC and read without errors at +6 dB once found (the
// first characters go by while it looks); without AFC it is lost.
TEST(BoardEngine, ReadsAStation200HzOffWithoutErrorsAt6dBOnceAfcHasFoundIt)
{
    CBoardSettings settings;
    settings.m_strRemoteText = "CQ CQ DE SIM SIM K";
    settings.m_dRemoteOffsetHz = 200.0;
    settings.m_SnrDb = 6.0;
    for (const bool bAfc : {true, false})
    {
        settings.m_bAfc = bAfc;
        CBoardEngine engine(settings, BundledFont());
        const std::string strRead = ReadText(engine.RunReceiving(40 * 98));
        ASSERT_GT(strRead.size(), 35u);
        const int nErrors =
            TextCompare::CountErrors(strRead.substr(3, strRead.size() - 4), engine.GetRemote()->GetSent());
        if (bAfc)
            EXPECT_EQ(nErrors, 0) << strRead;
        else
            EXPECT_GT(nErrors, 20) << strRead;
    }
}

// A station that pauses ten seconds between its copies: every copy, its first character
// included, is read, and painted as bright as the others.
TEST(BoardEngine, ReadsEveryCopyOfAPausingStationAtTheSameBrightness)
{
    CBoardSettings settings;
    settings.m_strRemoteText = "CQ DE SIM K";
    settings.m_dRemotePauseSeconds = 10.0;
    settings.m_SnrDb = 10.0;
    CBoardEngine engine(settings, BundledFont());
    const std::int64_t nCopyPixels = 12 * 98 + 10 * 245;
    const std::vector<std::uint8_t> received = engine.RunReceiving(4 * nCopyPixels);
    const std::vector<std::int64_t>& starts = engine.GetRemote()->GetCopyStarts();
    ASSERT_GE(starts.size(), 4u);
    std::vector<double> brightness;
    for (std::size_t c = 0; c < 4; ++c)
    {
        const auto nFrom = static_cast<std::size_t>(starts[c] * 2);
        std::vector<std::uint8_t> copy(received.begin() + static_cast<std::ptrdiff_t>(nFrom),
                                       received.begin() + static_cast<std::ptrdiff_t>(nFrom + 12 * 196));
        // The copy's first character alone, and the copy read by itself.
        std::vector<std::uint8_t> first(copy.begin(), copy.begin() + 2 * 196);
        std::nth_element(first.begin(), first.begin() + first.size() * 9 / 10, first.end());
        brightness.push_back(first[first.size() * 9 / 10]);
        EXPECT_EQ(TextCompare::CountErrors(ReadText(copy), " CQ DE SIM K "), 0) << ReadText(copy);
    }
    for (const double d : brightness)
        EXPECT_NEAR(d, brightness[0], 0.2 * brightness[0]);
}
