#pragma once

#include <span>
#include <vector>

// The receiver's AFC: finds a Feld-Hell signal in the spectra within kCaptureHz of the tone and
// follows it. The spectra are averaged over about a second; the strongest place of the average,
// summed over the signal's core, is a signal when it stands clear of the noise (the median of the
// range), and its frequency is the centre of its power. A signal found far from where the
// receiver listens is jumped to when it stands well clear; one nearby is followed smoothly. Without a signal the receiver
// stays where it was.
class CToneTracker
{
public:
    static constexpr double kCaptureHz = 250.0;

    // dWidthFactor: the signal's width against Feld-Hell's, which scales what is taken for its
    // core and its centre.
    CToneTracker(double dBinHz, double dWidthFactor);

    // Starts afresh around a new tone, listening on it.
    void SetToneHz(double dToneHz);
    // Takes the next spectrum (power per bin from 0 Hz on).
    void Process(std::span<const float> power);
    // Where the receiver should listen.
    double GetFrequencyHz() const { return m_dFrequencyHz; }

private:
    double m_dBinHz;
    double m_dWidthFactor;
    double m_dToneHz = 0.0;
    double m_dFrequencyHz = 0.0;
    int m_nSpectra = 0; // averaged since the last start
    std::vector<double> m_Average; // the averaged power of the bins of the range
    std::size_t m_nFirstBin = 0;
    std::vector<double> m_Sorted; // reused for the median
};
