// Measures the board's receiver and the picture reader faster than real time: a simulated station
// sends a text over and over, and the reader's text is compared with what was sent.
//   skrivel-board-cer [curve] [CHARS] [FADE_HZ]  the character error rate against the SNR: a steady
//                                                station, one that pauses, one that fades
//   skrivel-board-cer capture [CHARS]            the error rate against the station's offset
//   skrivel-board-cer acquisition                how long AFC takes to find a station
#include "board/BoardEngine.h"
#include "board/HellReader.h"
#include "board/RemoteStation.h"
#include "board/TextCompare.h"
#include "engine/HellFont.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace
{
constexpr const char* kText = "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 0123456789 CQ DE SKRIVEL";
constexpr int kPixelsPerChar = 98;
// The first cells go by while AFC looks for a station off the tone; the last is cut off by the
// end of the run.
constexpr int kSkipCells = 3;
// The pausing station's silence between copies.
constexpr double kPauseSeconds = 10.0;

struct CPoint
{
    int m_nErrors = 0;
    int m_nChars = 0;
    double m_dBrightest = 0.0; // of the copies' first characters (the pausing station)
    double m_dDimmest = 0.0;
};

CBoardSettings StationAt(double dSnr, double dFade, std::uint32_t nSeed)
{
    CBoardSettings settings;
    settings.m_strRemoteText = kText;
    settings.m_dRemotePpm = 30.0;
    settings.m_SnrDb = dSnr;
    settings.m_dFadeHz = dFade;
    settings.m_nSeed = nSeed;
    return settings;
}

// Runs of blanks as one, none at either end.
std::string Collapsed(const std::string& str)
{
    std::string strOut;
    for (const char c : str)
        if (c != ' ' || (!strOut.empty() && strOut.back() != ' '))
            strOut += c;
    while (!strOut.empty() && strOut.back() == ' ')
        strOut.pop_back();
    return strOut;
}

// The pausing station: every copy counted whole, from its first character on, against what was
// sent (runs of blanks as one; the cells read in the pauses between are not counted); and the
// brightness of each copy's first character (the 90th percentile of its samples).
CPoint MeasurePausing(const CHellFont& font, double dSnr, double dFade, int nChars, std::uint32_t nSeed)
{
    CBoardSettings settings = StationAt(dSnr, dFade, nSeed);
    settings.m_dRemotePpm = 0.0;
    settings.m_dRemotePauseSeconds = kPauseSeconds;
    CBoardEngine engine(settings, font);
    const std::string strCopy = std::string(kText) + ' ';
    const int nCopies = std::max(1, nChars / static_cast<int>(strCopy.size()));
    const auto nCopySamples = static_cast<double>(strCopy.size() * CHellReader::kCellSamples);
    const auto nCopyPixels = static_cast<std::int64_t>(strCopy.size()) * kPixelsPerChar +
                             std::llround(kPauseSeconds * 245);
    const std::vector<std::uint8_t> received = engine.RunReceiving(nCopies * nCopyPixels);
    const std::vector<CReadCell> cells = CHellReader(font, CHellReader::UpperCaseCodes()).Read(received);
    CPoint point;
    point.m_dDimmest = 255.0;
    for (const std::int64_t nStart : engine.GetRemote()->GetCopyStarts())
    {
        const auto dFrom = static_cast<double>(nStart * 2);
        if (dFrom + nCopySamples > static_cast<double>(received.size()))
            break;
        // The cells that begin within the copy, the picture's delay (a few samples) allowed for.
        std::string strRead;
        for (const CReadCell& cell : cells)
            if (cell.m_dStart >= dFrom - CHellReader::kCellSamples / 2 &&
                cell.m_dStart < dFrom + nCopySamples - CHellReader::kCellSamples / 2)
                strRead += static_cast<char>(cell.m_nCode);
        point.m_nErrors += TextCompare::CountEdits(Collapsed(strRead), Collapsed(strCopy));
        point.m_nChars += static_cast<int>(Collapsed(strCopy).size());
        const auto nFrom = static_cast<std::size_t>(dFrom);
        std::vector<std::uint8_t> first(received.begin() + static_cast<std::ptrdiff_t>(nFrom),
                                        received.begin() + static_cast<std::ptrdiff_t>(nFrom + 2 * CHellReader::kCellSamples));
        const auto nth = first.begin() + static_cast<std::ptrdiff_t>(first.size() * 9 / 10);
        std::nth_element(first.begin(), nth, first.end());
        point.m_dBrightest = std::max<double>(point.m_dBrightest, *nth);
        point.m_dDimmest = std::min<double>(point.m_dDimmest, *nth);
    }
    return point;
}

CPoint Measure(const CHellFont& font, double dSnr, double dFade, int nChars, std::uint32_t nSeed,
               double dOffsetHz = 15.0, bool bAfc = true)
{
    CBoardSettings settings = StationAt(dSnr, dFade, nSeed);
    settings.m_dRemoteOffsetHz = dOffsetHz;
    settings.m_bAfc = bAfc;
    CBoardEngine engine(settings, font);
    const std::vector<std::uint8_t> received =
        engine.RunReceiving(static_cast<std::int64_t>(nChars) * kPixelsPerChar);
    const std::string strRead =
        CHellReader::TextOf(CHellReader(font, CHellReader::UpperCaseCodes()).Read(received));
    CPoint point;
    if (strRead.size() <= kSkipCells + 2)
        return point;
    const std::string strCompared = strRead.substr(kSkipCells, strRead.size() - kSkipCells - 2);
    point.m_nErrors = TextCompare::CountErrors(strCompared, engine.GetRemote()->GetSent());
    point.m_nChars = static_cast<int>(strCompared.size());
    return point;
}
// ln I0(x), without overflow for large x (where its asymptote is exact to far below a part in 1e3).
double LogBesselI0(double x)
{
    return x < 100.0 ? std::log(std::cyl_bessel_i(0.0, x)) : x - 0.5 * std::log(2 * std::numbers::pi * x);
}

// The best any receiver can do whose level bytes carry magnitudes only: each pixel of the text
// as one magnitude sample of its own energy in complex Gaussian noise, the timing and levels
// known, and the glyph chosen by its exact likelihood. Also the bound of a receiver that would
// add up the pixels of a glyph with their common phase, which level bytes cannot carry.
std::pair<double, double> IdealBounds(const CHellFont& font, double dSnr, int nChars)
{
    std::vector<std::vector<bool>> glyphs;
    std::vector<char> codes;
    std::set<std::vector<bool>> seen;
    for (const char c : CHellReader::UpperCaseCodes() + ' ')
    {
        std::vector<bool> glyph;
        for (int k = 0; k < CHellFont::kColumns; ++k)
            for (int r = 0; r < CHellFont::kRows; ++r)
                glyph.push_back(font.GetGlyphPixel(static_cast<unsigned char>(c), k, r));
        if (seen.insert(glyph).second)
        {
            glyphs.push_back(glyph);
            codes.push_back(c);
        }
    }
    // The energy of a pixel over the noise density: the tone's power over the noise in 2500 Hz,
    // times 2500 Hz, over 245 pixels a second.
    const double dAmplitude = std::sqrt(std::pow(10.0, dSnr / 10.0) * 2500.0 / 245.0);
    std::mt19937 rng(11);
    std::normal_distribution<double> noise(0.0, std::sqrt(0.5));
    std::uniform_real_distribution<double> phase(0.0, 2 * std::numbers::pi);
    const std::string strText = kText;
    int nErrors[2] = {0, 0};
    std::vector<std::complex<double>> free(glyphs[0].size());
    std::vector<std::complex<double>> common(glyphs[0].size());
    for (int n = 0; n < nChars; ++n)
    {
        const char c = strText[static_cast<std::size_t>(n) % strText.size()];
        const std::size_t nSent =
            static_cast<std::size_t>(std::find(codes.begin(), codes.end(), c) - codes.begin());
        const double dCommon = phase(rng);
        for (std::size_t p = 0; p < free.size(); ++p)
        {
            const std::complex<double> z(noise(rng), noise(rng));
            const double dSignal = glyphs[nSent][p] ? dAmplitude : 0.0;
            free[p] = std::polar(dSignal, phase(rng)) + z;
            common[p] = std::polar(dSignal, dCommon) + z;
        }
        double dBest[2] = {-1e300, -1e300};
        std::size_t nBest[2] = {0, 0};
        for (std::size_t g = 0; g < glyphs.size(); ++g)
        {
            double dScore = 0.0;
            std::complex<double> sum;
            int nMarked = 0;
            for (std::size_t p = 0; p < free.size(); ++p)
                if (glyphs[g][p])
                {
                    dScore += LogBesselI0(2 * dAmplitude * std::abs(free[p]));
                    sum += common[p];
                    ++nMarked;
                }
            const double dScores[2] = {dScore - nMarked * dAmplitude * dAmplitude,
                                       LogBesselI0(2 * dAmplitude * std::abs(sum)) -
                                           nMarked * dAmplitude * dAmplitude};
            for (int m = 0; m < 2; ++m)
                if (dScores[m] > dBest[m])
                {
                    dBest[m] = dScores[m];
                    nBest[m] = g;
                }
        }
        for (int m = 0; m < 2; ++m)
            nErrors[m] += nBest[m] != nSent ? 1 : 0;
    }
    return {100.0 * nErrors[0] / nChars, 100.0 * nErrors[1] / nChars};
}

std::string Rate(const CPoint& point)
{
    char sz[64];
    std::snprintf(sz, sizeof sz, "%.1f %% (%d/%d)", 100.0 * point.m_nErrors / std::max(1, point.m_nChars),
                  point.m_nErrors, point.m_nChars);
    return sz;
}

void PrintCurve(const CHellFont& font, int nChars, double dFade)
{
    std::printf("| SNR (dB, 2500 Hz) | CER, steady | CER, pausing | first characters, dimmest/brightest | "
                "CER, fading %.1f Hz | bound, magnitudes | bound, coherent |\n"
                "|---:|---:|---:|---:|---:|---:|---:|\n",
                dFade);
    for (int nSnr = 10; nSnr >= -12; nSnr -= 2)
    {
        const CPoint steady = Measure(font, nSnr, 0.0, nChars, 7);
        const CPoint pausing = MeasurePausing(font, nSnr, 0.0, nChars, 7);
        const CPoint fading = Measure(font, nSnr, dFade, nChars, 7);
        const auto [dMagnitudeBound, dCoherentBound] = IdealBounds(font, nSnr, 4000);
        std::printf("| %+d | %s | %s | %.0f/%.0f | %s | %.1f %% | %.1f %% |\n", nSnr, Rate(steady).c_str(),
                    Rate(pausing).c_str(), pausing.m_dDimmest, pausing.m_dBrightest, Rate(fading).c_str(),
                    dMagnitudeBound, dCoherentBound);
        std::fflush(stdout);
    }
}

void PrintCapture(const CHellFont& font, int nChars)
{
    std::printf("| offset (Hz) | +6 dB, AFC | +6 dB, no AFC | 0 dB fading 0.5 Hz, AFC | 0 dB fading, no AFC |\n"
                "|---:|---:|---:|---:|---:|\n");
    for (int nOffset = 0; nOffset <= 300; nOffset += 25)
    {
        std::printf("| %d | %s | %s | %s | %s |\n", nOffset, Rate(Measure(font, 6, 0, nChars, 7, nOffset)).c_str(),
                    Rate(Measure(font, 6, 0, nChars, 7, nOffset, false)).c_str(),
                    Rate(Measure(font, 0, 0.5, nChars, 7, nOffset)).c_str(),
                    Rate(Measure(font, 0, 0.5, nChars, 7, nOffset, false)).c_str());
        std::fflush(stdout);
    }
}

// The time from a station's first pixel until AFC listens within 5 Hz of it and stays there (to
// the end of 15 s), the median of nRuns seeds; negative when it never does.
double AcquisitionSeconds(const CHellFont& font, double dSnr, double dOffsetHz, int nRuns)
{
    std::vector<double> times;
    for (int nRun = 0; nRun < nRuns; ++nRun)
    {
        CBoardSettings settings = StationAt(dSnr, 0.0, static_cast<std::uint32_t>(nRun + 1));
        settings.m_dRemoteOffsetHz = dOffsetHz;
        CBoardEngine engine(settings, font);
        const std::int64_t nPixels = 15 * 245;
        std::int64_t nLocked = -1;
        for (std::int64_t n = 0; n < nPixels; ++n)
        {
            engine.RunReceiving(1);
            const bool bOn = std::abs(engine.GetListeningHz(0) - settings.m_dToneHz - dOffsetHz) < 5.0;
            if (!bOn)
                nLocked = -1;
            else if (nLocked < 0)
                nLocked = n;
        }
        times.push_back(nLocked < 0 ? 1e9 : static_cast<double>(nLocked) / 245.0);
    }
    std::nth_element(times.begin(), times.begin() + nRuns / 2, times.end());
    return times[static_cast<std::size_t>(nRuns / 2)] > 1e8 ? -1.0 : times[static_cast<std::size_t>(nRuns / 2)];
}

void PrintAcquisition(const CHellFont& font)
{
    std::printf("| SNR (dB, 2500 Hz) | 25 Hz off | 100 Hz off | 200 Hz off |\n|---:|---:|---:|---:|\n");
    for (const int nSnr : {10, 6, 0, -4, -8})
    {
        std::printf("| %+d |", nSnr);
        for (const double dOffset : {25.0, 100.0, 200.0})
        {
            const double d = AcquisitionSeconds(font, nSnr, dOffset, 5);
            if (d < 0)
                std::printf(" never |");
            else
                std::printf(" %.2f s |", d);
        }
        std::printf("\n");
        std::fflush(stdout);
    }
}
} // namespace

int main(int argc, char** argv)
{
    const std::string strMode = argc > 1 && std::isalpha(static_cast<unsigned char>(argv[1][0])) ? argv[1] : "curve";
    const int nFirstNumber = strMode == "curve" && !(argc > 1 && std::isalpha(static_cast<unsigned char>(argv[1][0]))) ? 1 : 2;
    const int nChars = argc > nFirstNumber ? std::atoi(argv[nFirstNumber]) : 400;
    const double dFade = argc > nFirstNumber + 1 ? std::atof(argv[nFirstNumber + 1]) : 0.5;
    CHellFont font;
    if (!font.Load(CHellFont::Resolve("hellfont.hlf", CHellFont::GetDataDirs())))
    {
        std::fprintf(stderr, "skrivel-board-cer: can't open font file hellfont.hlf\n");
        return 1;
    }
    if (strMode == "capture")
        PrintCapture(font, nChars);
    else if (strMode == "acquisition")
        PrintAcquisition(font);
    else
        PrintCurve(font, nChars, dFade);
    return 0;
}
