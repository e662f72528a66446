// Measures the board's receiver and the picture reader faster than real time: a simulated station
// sends a text over and over, and the reader's text is compared with what was sent.
//   skrivel-board-cer [curve] [CHARS] [FADE_HZ]  the character error rate against the SNR: a steady
//                                                station, one that pauses, one that fades
//   skrivel-board-cer capture [CHARS]            the error rate against the station's offset
//   skrivel-board-cer acquisition                how long AFC takes to find a station
//   skrivel-board-cer modes [CHARS]              the steady station's error rate in every mode
//   skrivel-board-cer bandwidth [CHARS]          every mode's occupied bandwidth and mean power
// The first three take --mode NAME (Feld-Hell unless given); the wide modes use a 2000 Hz tone.
#include "board/BoardEngine.h"
#include "board/HellReader.h"
#include "board/OccupiedBandwidth.h"
#include "board/RemoteStation.h"
#include "board/TextCompare.h"
#include "engine/HellFont.h"
#include "modem/FeldHellRates.h"
#include "modem/HellMode.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <random>
#include <set>
#include <span>
#include <string>
#include <utility>
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
// The error rate at which modes are compared.
constexpr double kCompareCer = 3.0;
// The bandwidth's spectrum: the signal at this many samples a pixel, in segments of kSpectrumSize
// samples, so that every mode's spectrum spans the same multiple of its pixel rate.
constexpr int kSpectrumSamplesPerPixel = 64;
constexpr std::size_t kSpectrumSize = 16384;

// What every measurement runs with: the font, and the mode of the station and the board.
struct CBench
{
    const CHellFont& m_Font;
    const CHellMode& m_Mode;
};

struct CPoint
{
    int m_nErrors = 0;
    int m_nChars = 0;
    double m_dBrightest = 0.0; // of the copies' first characters (the pausing station)
    double m_dDimmest = 0.0;
};

CBoardSettings StationAt(const CBench& bench, double dSnr, double dFade, std::uint32_t nSeed)
{
    CBoardSettings settings;
    settings.m_Mode = bench.m_Mode;
    settings.m_dToneHz = bench.m_Mode.GetRoomyToneHz();
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
CPoint MeasurePausing(const CBench& bench, double dSnr, double dFade, int nChars, std::uint32_t nSeed)
{
    const CHellFont& font = bench.m_Font;
    CBoardSettings settings = StationAt(bench, dSnr, dFade, nSeed);
    settings.m_dRemotePpm = 0.0;
    settings.m_dRemotePauseSeconds = kPauseSeconds;
    CBoardEngine engine(settings, font);
    const std::string strCopy = std::string(kText) + ' ';
    const int nCopies = std::max(1, nChars / static_cast<int>(strCopy.size()));
    const auto nCopySamples = static_cast<double>(strCopy.size() * CHellReader::kCellSamples);
    const auto nCopyPixels = static_cast<std::int64_t>(strCopy.size()) * kPixelsPerChar +
                             std::llround(kPauseSeconds * bench.m_Mode.GetPixelRate());
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

CPoint Measure(const CBench& bench, double dSnr, double dFade, int nChars, std::uint32_t nSeed,
               double dOffsetHz = 15.0, bool bAfc = true)
{
    const CHellFont& font = bench.m_Font;
    CBoardSettings settings = StationAt(bench, dSnr, dFade, nSeed);
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
// add up the pixels of a glyph with their common phase, which level bytes cannot carry. Both are
// bounds of on-off keying.
std::pair<double, double> IdealBounds(const CBench& bench, double dSnr, int nChars)
{
    const CHellFont& font = bench.m_Font;
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
    // times 2500 Hz, over the pixels a second.
    const double dAmplitude = std::sqrt(std::pow(10.0, dSnr / 10.0) * 2500.0 / bench.m_Mode.GetPixelRate());
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

void PrintCurve(const CBench& bench, int nChars, double dFade)
{
    const bool bOnOff = bench.m_Mode.m_nKeying == EHellKeying::OnOff;
    std::printf("| SNR (dB, 2500 Hz) | CER, steady | CER, pausing | first characters, dimmest/brightest | "
                "CER, fading %.1f Hz | bound, magnitudes | bound, coherent |\n"
                "|---:|---:|---:|---:|---:|---:|---:|\n",
                dFade);
    for (int nSnr = 10; nSnr >= -12; nSnr -= 2)
    {
        const CPoint steady = Measure(bench, nSnr, 0.0, nChars, 7);
        const CPoint pausing = MeasurePausing(bench, nSnr, 0.0, nChars, 7);
        const CPoint fading = Measure(bench, nSnr, dFade, nChars, 7);
        std::printf("| %+d | %s | %s | %.0f/%.0f | %s |", nSnr, Rate(steady).c_str(), Rate(pausing).c_str(),
                    pausing.m_dDimmest, pausing.m_dBrightest, Rate(fading).c_str());
        if (bOnOff)
        {
            const auto [dMagnitudeBound, dCoherentBound] = IdealBounds(bench, nSnr, 4000);
            std::printf(" %.1f %% | %.1f %% |\n", dMagnitudeBound, dCoherentBound);
        }
        else
            std::printf(" - | - |\n");
        std::fflush(stdout);
    }
}

void PrintCapture(const CBench& bench, int nChars)
{
    std::printf("| offset (Hz) | +6 dB, AFC | +6 dB, no AFC | 0 dB fading 0.5 Hz, AFC | 0 dB fading, no AFC |\n"
                "|---:|---:|---:|---:|---:|\n");
    for (int nOffset = 0; nOffset <= 300; nOffset += 25)
    {
        std::printf("| %d | %s | %s | %s | %s |\n", nOffset, Rate(Measure(bench, 6, 0, nChars, 7, nOffset)).c_str(),
                    Rate(Measure(bench, 6, 0, nChars, 7, nOffset, false)).c_str(),
                    Rate(Measure(bench, 0, 0.5, nChars, 7, nOffset)).c_str(),
                    Rate(Measure(bench, 0, 0.5, nChars, 7, nOffset, false)).c_str());
        std::fflush(stdout);
    }
}

// The time from a station's first pixel until AFC listens within 5 Hz of it and stays there (to
// the end of 15 s at Feld-Hell's pace, as many pixels at another's), the median of nRuns seeds;
// negative when it never does.
double AcquisitionSeconds(const CBench& bench, double dSnr, double dOffsetHz, int nRuns)
{
    std::vector<double> times;
    for (int nRun = 0; nRun < nRuns; ++nRun)
    {
        CBoardSettings settings = StationAt(bench, dSnr, 0.0, static_cast<std::uint32_t>(nRun + 1));
        settings.m_dRemoteOffsetHz = dOffsetHz;
        CBoardEngine engine(settings, bench.m_Font);
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
        times.push_back(nLocked < 0 ? 1e9 : static_cast<double>(nLocked) / bench.m_Mode.GetPixelRate());
    }
    std::nth_element(times.begin(), times.begin() + nRuns / 2, times.end());
    return times[static_cast<std::size_t>(nRuns / 2)] > 1e8 ? -1.0 : times[static_cast<std::size_t>(nRuns / 2)];
}

void PrintAcquisition(const CBench& bench)
{
    std::printf("| SNR (dB, 2500 Hz) | 25 Hz off | 100 Hz off | 200 Hz off |\n|---:|---:|---:|---:|\n");
    for (const int nSnr : {10, 6, 0, -4, -8})
    {
        std::printf("| %+d |", nSnr);
        for (const double dOffset : {25.0, 100.0, 200.0})
        {
            const double d = AcquisitionSeconds(bench, nSnr, dOffset, 5);
            if (d < 0)
                std::printf(" never |");
            else
                std::printf(" %.2f s |", d);
        }
        std::printf("\n");
        std::fflush(stdout);
    }
}

// The mean power against the key-down tone's.
double MeanPowerDb(std::span<const std::complex<float>> signal)
{
    return 10.0 * std::log10(OccupiedBandwidth::MeanPower(signal));
}

// The SNR at which a curve (its SNRs falling) first reaches dCer, interpolated between its
// points; NaN when it never does.
double SnrAtCer(const std::vector<std::pair<double, double>>& curve, double dCer)
{
    for (std::size_t i = 0; i < curve.size(); ++i)
        if (curve[i].second >= dCer)
        {
            if (i == 0)
                return curve[0].first;
            const auto [dSnr0, dCer0] = curve[i - 1];
            const auto [dSnr1, dCer1] = curve[i];
            return dSnr0 + (dCer - dCer0) / (dCer1 - dCer0) * (dSnr1 - dSnr0);
        }
    return std::nan("");
}

void PrintRow(const char* pszWhat, const std::vector<double>& values, const char* pszFormat)
{
    std::printf("| %s |", pszWhat);
    for (const double d : values)
        std::printf(pszFormat, d);
    std::printf("\n");
}

// The steady station's error rate in every mode, a column each; then where each mode reaches
// kCompareCer, against its key-down tone and against its mean power, and how far that lies from
// Feld-Hell's at the same mean power.
void PrintModes(const CHellFont& font, int nChars)
{
    const std::span<const CHellMode> modes = HellModes::All();
    std::printf("| SNR, key-down (dB) |");
    for (const CHellMode& mode : modes)
        std::printf(" %s |", std::string(mode.m_strName).c_str());
    std::printf("\n|---:|");
    for (std::size_t m = 0; m < modes.size(); ++m)
        std::printf("---:|");
    std::printf("\n");
    std::vector<std::vector<std::pair<double, double>>> curves(modes.size());
    for (int nSnr = 12; nSnr >= -16; nSnr -= 2)
    {
        std::printf("| %+d |", nSnr);
        for (std::size_t m = 0; m < modes.size(); ++m)
        {
            const CPoint point = Measure(CBench{font, modes[m]}, nSnr, 0.0, nChars, 7);
            curves[m].emplace_back(nSnr, 100.0 * point.m_nErrors / std::max(1, point.m_nChars));
            std::printf(" %s |", Rate(point).c_str());
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    std::vector<double> meanDb;
    std::vector<double> keyDown;
    std::vector<double> mean;
    for (std::size_t m = 0; m < modes.size(); ++m)
    {
        meanDb.push_back(MeanPowerDb(OccupiedBandwidth::Transmission(font, kText, modes[m], nChars, FeldHellRates::kSampleRate)));
        keyDown.push_back(SnrAtCer(curves[m], kCompareCer));
        mean.push_back(keyDown.back() + meanDb.back());
    }
    std::vector<double> gain;
    for (const double d : mean)
        gain.push_back(mean.front() - d);
    PrintRow("mean power against key-down (dB)", meanDb, " %+.1f |");
    PrintRow("3 % CER at SNR, key-down (dB)", keyDown, " %+.1f |");
    PrintRow("3 % CER at SNR, mean power (dB)", mean, " %+.1f |");
    PrintRow("gain over Feld-Hell at the same mean power (dB)", gain, " %+.1f |");
}

// Every mode's occupied bandwidth: the points 40 dB below the averaged spectrum's peak, the band
// of 99 % of the power, and the mean power, from nChars characters of the text. Each mode is
// sampled kSpectrumSamplesPerPixel times a pixel, so the resolution is its pixel rate over 256.
void PrintBandwidths(const CHellFont& font, int nChars)
{
    std::printf("| mode | the table's (Hz) | -40 dB points, from the tone (Hz) | -40 dB width (Hz) | "
                "99 %% of the power (Hz) | resolution (Hz) | mean power against key-down (dB) |\n"
                "|---|---:|---:|---:|---:|---:|---:|\n");
    for (const CHellMode& mode : HellModes::All())
    {
        const auto nRate = static_cast<int>(std::lround(kSpectrumSamplesPerPixel * mode.GetPixelRate()));
        const std::vector<std::complex<float>> signal = OccupiedBandwidth::Transmission(font, kText, mode, nChars, nRate);
        const OccupiedBandwidth::CFigures figures = OccupiedBandwidth::Measure(signal, nRate, kSpectrumSize);
        const double dTone = nRate / 4.0;
        std::printf("| %s | %.0f | %+.1f / %+.1f | %.1f | %.1f | %.2f | %+.1f |\n", std::string(mode.m_strName).c_str(),
                    mode.m_dBandwidthHz, figures.m_dLowHz - dTone, figures.m_dHighHz - dTone,
                    figures.m_dHighHz - figures.m_dLowHz, figures.m_dHigh99Hz - figures.m_dLow99Hz, figures.m_dBinHz,
                    MeanPowerDb(signal));
        std::fflush(stdout);
    }
}
} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    const CHellMode* pMode = &HellModes::FeldHell();
    if (const auto it = std::find(args.begin(), args.end(), "--mode"); it != args.end())
    {
        pMode = it + 1 != args.end() ? HellModes::Find(*(it + 1)) : nullptr;
        if (pMode == nullptr)
        {
            std::fprintf(stderr, "skrivel-board-cer: --mode takes one of");
            for (const CHellMode& mode : HellModes::All())
                std::fprintf(stderr, " %s", std::string(mode.m_strWord).c_str());
            std::fprintf(stderr, "\n");
            return 2;
        }
        args.erase(it, it + 2);
    }
    const bool bCommand = !args.empty() && std::isalpha(static_cast<unsigned char>(args[0][0]));
    const std::string strCommand = bCommand ? args[0] : "curve";
    const std::size_t nFirstNumber = bCommand ? 1 : 0;
    const int nChars = args.size() > nFirstNumber ? std::atoi(args[nFirstNumber].c_str()) : 400;
    const double dFade = args.size() > nFirstNumber + 1 ? std::atof(args[nFirstNumber + 1].c_str()) : 0.5;
    CHellFont font;
    if (!font.Load(CHellFont::Resolve("hellfont.hlf", CHellFont::GetDataDirs())))
    {
        std::fprintf(stderr, "skrivel-board-cer: can't open font file hellfont.hlf\n");
        return 1;
    }
    const CBench bench{font, *pMode};
    if (strCommand == "capture")
        PrintCapture(bench, nChars);
    else if (strCommand == "acquisition")
        PrintAcquisition(bench);
    else if (strCommand == "modes")
        PrintModes(font, nChars);
    else if (strCommand == "bandwidth")
        PrintBandwidths(font, nChars);
    else
        PrintCurve(bench, nChars, dFade);
    return 0;
}
