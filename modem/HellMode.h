#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// How a Hell mode keys its transmitter: a tone switched on and off with raised-cosine edges, or
// two tones (frequency shift keying) with a marked pixel on the lower one.
enum class EHellKeying
{
    OnOff,
    Fsk,
};

// One of the Hell modes: every one sends 14-pixel columns, bottom row first, and is received at
// two level slots a pixel; they differ in pace and keying. The pace is kept as pixels in eight
// seconds, a whole number for every mode, so that every pixel and level boundary is an exact
// rational of the sample index.
struct CHellMode
{
    std::string_view m_strName;    // as the operator reads it ("Hell X9")
    std::string_view m_strWord;    // in the profile and on the board's command line ("HELLX9")
    std::int64_t m_nPixelsPer8Seconds;
    EHellKeying m_nKeying;
    double m_dBandwidthHz;         // the occupied bandwidth as usually given
    double m_dShiftHz = 0.0;       // between the two tones of FSK

    double GetPixelRate() const { return static_cast<double>(m_nPixelsPer8Seconds) / 8.0; }
    double GetLevelRate() const { return 2.0 * GetPixelRate(); }
    // The pace against Feld-Hell's: 1 for Feld-Hell, 9 for Hell X9.
    double GetPaceFactor() const;
    // The width of the signal against Feld-Hell's.
    double GetWidthFactor() const;
    // A tone with room below it for the signal's sidebands: 2000 Hz for the modes wider than
    // 1000 Hz, the usual 1000 Hz for the others.
    double GetRoomyToneHz() const { return m_dBandwidthHz > 1000.0 ? 2000.0 : 1000.0; }
    // Transmit items a second: one a pixel.
    int GetItemRate() const { return static_cast<int>(GetPixelRate() + 0.5); }

    // The first audio sample at or after level slot nLevel (slot 2n is the start of pixel n).
    std::int64_t FirstSampleOfLevel(std::int64_t nLevel, int nSampleRate) const
    {
        const std::int64_t nLevelsPer8Seconds = 2 * m_nPixelsPer8Seconds;
        return (nLevel * nSampleRate * 8 + nLevelsPer8Seconds - 1) / nLevelsPer8Seconds;
    }
    std::int64_t FirstSampleOfPixel(std::int64_t nPixel, int nSampleRate) const
    {
        return FirstSampleOfLevel(2 * nPixel, nSampleRate);
    }
};

namespace HellModes
{
// Every mode, Feld-Hell first.
std::span<const CHellMode> All();
const CHellMode& FeldHell();
// The mode of a profile word, or null for a word that names none.
const CHellMode* Find(std::string_view strWord);
// The mode of an index of HellModeNames::kAll.
const CHellMode& At(int nIndex);
} // namespace HellModes
