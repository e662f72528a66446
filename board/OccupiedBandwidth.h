#pragma once

#include <complex>
#include <cstddef>
#include <span>
#include <string>
#include <vector>

class CHellFont;
struct CHellMode;

// How wide a transmission is: the averaged power spectrum of its analytic signal (segments of a
// fixed size, Blackman-Harris windowed, overlapping by half), and from it the outermost
// frequencies still within a given number of dB of the spectrum's peak, and the band that holds
// 99 % of the power (0.5 % left out on either side).
namespace OccupiedBandwidth
{
struct CFigures
{
    double m_dLowHz = 0.0;   // the lowest and the highest frequency within dDownDb of the peak,
    double m_dHighHz = 0.0;  // against the signal's own 0 Hz
    double m_dLow99Hz = 0.0; // the band with 99 % of the power
    double m_dHigh99Hz = 0.0;
    double m_dBinHz = 0.0; // the spectrum's resolution
};

// nSize must be a power of two and no longer than the signal; frequencies run from -nSampleRate/2
// to +nSampleRate/2.
CFigures Measure(std::span<const std::complex<float>> signal, int nSampleRate, std::size_t nSize,
                 double dDownDb = 40.0);

// A mode's transmission to measure: the analytic signal of nChars characters of strText (sent
// over and over) at nSampleRate, on a tone a quarter of the sample rate up.
std::vector<std::complex<float>> Transmission(const CHellFont& font, const std::string& strText,
                                              const CHellMode& mode, int nChars, int nSampleRate);

// The mean power of a signal; a tone of amplitude 1 has 1.
double MeanPower(std::span<const std::complex<float>> signal);
} // namespace OccupiedBandwidth
