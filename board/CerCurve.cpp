// Measures the character error rate of the board's receiver and the picture reader against the
// signal-to-noise ratio, with and without fading, faster than real time: a simulated station sends
// a text over and over, and the reader's text is compared with what was sent.
#include "board/BoardEngine.h"
#include "board/HellReader.h"
#include "board/RemoteStation.h"
#include "board/TextCompare.h"
#include "doc/HellFont.h"

#include <cstdio>
#include <cstdlib>
#include <string>

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
    std::printf("| SNR (dB, 2500 Hz) | CER, steady | CER, fading %.1f Hz |\n|---:|---:|---:|\n", dFade);
    for (int nSnr = 10; nSnr >= -12; nSnr -= 2)
    {
        const CPoint steady = Measure(font, nSnr, 0.0, nChars, 7);
        const CPoint fading = Measure(font, nSnr, dFade, nChars, 7);
        std::printf("| %+d | %.1f %% (%d/%d) | %.1f %% (%d/%d) |\n", nSnr,
                    100.0 * steady.m_nErrors / std::max(1, steady.m_nChars), steady.m_nErrors,
                    steady.m_nChars, 100.0 * fading.m_nErrors / std::max(1, fading.m_nChars),
                    fading.m_nErrors, fading.m_nChars);
        std::fflush(stdout);
    }
    return 0;
}
