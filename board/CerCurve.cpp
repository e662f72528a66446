// Measures the character error rate of the board's receiver and the picture reader against the
// signal-to-noise ratio, with and without fading, faster than real time: a simulated station sends
// a text over and over, and the reader's text is compared with what was sent.
#include "board/BoardEngine.h"
#include "board/HellReader.h"
#include "board/RemoteStation.h"
#include "board/TextCompare.h"
#include "engine/HellFont.h"

#include <algorithm>
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
// The receiver's AGC settles over the first cells; the last is cut off by the end of the run.
constexpr int kSkipCells = 3;

struct CPoint
{
    int m_nErrors = 0;
    int m_nChars = 0;
};

CPoint Measure(const CHellFont& font, double dSnr, double dFade, int nChars, std::uint32_t nSeed)
{
    CBoardSettings settings;
    settings.m_strRemoteText = kText;
    settings.m_dRemotePpm = 30.0;
    settings.m_SnrDb = dSnr;
    settings.m_dFadeHz = dFade;
    settings.m_nSeed = nSeed;
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
} // namespace

int main(int argc, char** argv)
{
    const int nChars = argc > 1 ? std::atoi(argv[1]) : 400;
    const double dFade = argc > 2 ? std::atof(argv[2]) : 0.5;
    CHellFont font;
    if (!font.Load(CHellFont::Resolve("hellfont.hlf", CHellFont::GetDataDirs())))
    {
        std::fprintf(stderr, "skrivel-board-cer: can't open font file hellfont.hlf\n");
        return 1;
    }
    std::printf(
        "| SNR (dB, 2500 Hz) | CER, steady | CER, fading %.1f Hz | bound, magnitudes | bound, coherent |\n"
        "|---:|---:|---:|---:|---:|\n",
        dFade);
    for (int nSnr = 10; nSnr >= -12; nSnr -= 2)
    {
        const CPoint steady = Measure(font, nSnr, 0.0, nChars, 7);
        const CPoint fading = Measure(font, nSnr, dFade, nChars, 7);
        const auto [dMagnitudeBound, dCoherentBound] = IdealBounds(font, nSnr, 4000);
        std::printf("| %+d | %.1f %% (%d/%d) | %.1f %% (%d/%d) | %.1f %% | %.1f %% |\n", nSnr,
                    100.0 * steady.m_nErrors / std::max(1, steady.m_nChars), steady.m_nErrors,
                    steady.m_nChars, 100.0 * fading.m_nErrors / std::max(1, fading.m_nChars),
                    fading.m_nErrors, fading.m_nChars, dMagnitudeBound, dCoherentBound);
        std::fflush(stdout);
    }
    return 0;
}
