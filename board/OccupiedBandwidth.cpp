#include "board/OccupiedBandwidth.h"

#include "board/RemoteStation.h"
#include "engine/HellFont.h"

#include <liquid/liquid.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace
{
// The items of a character: 7 columns of 14, the last blank.
constexpr int kItemsPerChar = 7 * CHellFont::kRows;

// The averaged power of each bin, from -fs/2 up (bin nSize/2 is 0 Hz).
std::vector<double> AveragedSpectrum(std::span<const std::complex<float>> signal, std::size_t nSize)
{
    std::vector<float> window(nSize);
    for (std::size_t i = 0; i < nSize; ++i)
        window[i] = liquid_blackmanharris(static_cast<unsigned>(i), static_cast<unsigned>(nSize));
    std::vector<std::complex<float>> in(nSize);
    std::vector<std::complex<float>> out(nSize);
    fftplan plan =
        fft_create_plan(static_cast<unsigned>(nSize), in.data(), out.data(), LIQUID_FFT_FORWARD, 0);
    std::vector<double> power(nSize, 0.0);
    for (std::size_t nFrom = 0; nFrom + nSize <= signal.size(); nFrom += nSize / 2)
    {
        for (std::size_t i = 0; i < nSize; ++i)
            in[i] = signal[nFrom + i] * window[i];
        fft_execute(plan);
        for (std::size_t k = 0; k < nSize; ++k)
            power[(k + nSize / 2) % nSize] += std::norm(out[k]);
    }
    fft_destroy_plan(plan);
    return power;
}
} // namespace

OccupiedBandwidth::CFigures OccupiedBandwidth::Measure(std::span<const std::complex<float>> signal,
                                                       int nSampleRate, std::size_t nSize, double dDownDb)
{
    const std::vector<double> power = AveragedSpectrum(signal, nSize);
    CFigures figures;
    figures.m_dBinHz = static_cast<double>(nSampleRate) / static_cast<double>(nSize);
    const auto HzOf = [&](std::size_t k)
    { return (static_cast<double>(k) - static_cast<double>(nSize / 2)) * figures.m_dBinHz; };

    const double dFloor = *std::max_element(power.begin(), power.end()) * std::pow(10.0, -dDownDb / 10.0);
    const auto IsAbove = [dFloor](double d) { return d >= dFloor; };
    figures.m_dLowHz =
        HzOf(static_cast<std::size_t>(std::find_if(power.begin(), power.end(), IsAbove) - power.begin()));
    figures.m_dHighHz =
        HzOf(nSize - 1 -
             static_cast<std::size_t>(std::find_if(power.rbegin(), power.rend(), IsAbove) - power.rbegin()));

    // The bins where the running sum passes 0.5 % and 99.5 % of the whole.
    const double dTotal = std::accumulate(power.begin(), power.end(), 0.0);
    double dSum = 0.0;
    std::size_t k = 0;
    for (; k < nSize && dSum + power[k] < 0.005 * dTotal; ++k)
        dSum += power[k];
    figures.m_dLow99Hz = HzOf(k);
    for (; k < nSize && dSum + power[k] < 0.995 * dTotal; ++k)
        dSum += power[k];
    figures.m_dHigh99Hz = HzOf(k);
    return figures;
}

std::vector<std::complex<float>> OccupiedBandwidth::Transmission(const CHellFont& font,
                                                                 const std::string& strText,
                                                                 const CHellMode& mode, int nChars,
                                                                 int nSampleRate)
{
    CRemoteStation station(font, strText, nSampleRate / 4.0, 0.0, {}, mode, nSampleRate);
    std::vector<std::complex<float>> signal(
        static_cast<std::size_t>(mode.FirstSampleOfPixel(std::int64_t{nChars} * kItemsPerChar, nSampleRate)));
    station.Generate(signal.data(), signal.size());
    return signal;
}

double OccupiedBandwidth::MeanPower(std::span<const std::complex<float>> signal)
{
    double dSum = 0.0;
    for (const std::complex<float> z : signal)
        dSum += std::norm(z);
    return signal.empty() ? 0.0 : dSum / static_cast<double>(signal.size());
}
