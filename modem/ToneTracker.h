#pragma once

#include <cstddef>
#include <span>
#include <vector>

// The receiver's AFC: finds a Feld-Hell signal in the spectra within kCaptureHz of the tone and
// follows it. The spectra are averaged over about a second; the strongest place of the average,
// summed over the signal's core, is a signal when it stands clear of the noise (the median of the
// range), and its frequency is the centre of its power. An FSK signal is found by its two tones
// together, and its frequency is the middle between them. A signal found far from where the
// receiver listens is jumped to when it stands well clear; one nearby is followed smoothly.
// Without a signal the receiver stays where it was.
class CToneTracker
{
public:
    static constexpr double kCaptureHz = 250.0;

    // dWidthFactor: the signal's width against Feld-Hell's, which scales what is taken for its
    // core and its centre. dShiftHz: between the two tones of an FSK signal, 0 for one tone.
    CToneTracker(double dBinHz, double dWidthFactor, double dShiftHz = 0.0);

    // Starts afresh around a new tone, listening on it.
    void SetToneHz(double dToneHz);
    // Takes the next spectrum (power per bin from 0 Hz on).
    void Process(std::span<const float> power);
    // Where the receiver should listen.
    double GetFrequencyHz() const { return m_dFrequencyHz; }

private:
    // Where the signal is, from the strongest core (or pair of cores) at bin nPeak of the range.
    double CentreOfPowerHz(std::ptrdiff_t nPeak, std::size_t nBins, double dNoise) const;
    double FskCentreHz(std::ptrdiff_t nCentre, std::ptrdiff_t nHalfShift, std::ptrdiff_t nCore) const;

    double m_dBinHz;
    double m_dWidthFactor;
    double m_dShiftHz;
    double m_dToneHz = 0.0;
    double m_dFrequencyHz = 0.0;
    int m_nSpectra = 0;            // averaged since the last start
    std::vector<double> m_Average; // the averaged power of the bins of the range
    std::size_t m_nFirstBin = 0;
    std::vector<double> m_Sorted; // reused for the median
};
