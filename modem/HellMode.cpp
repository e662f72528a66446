#include "modem/HellMode.h"

#include <array>

namespace
{
constexpr std::int64_t kFeldHellPer8Seconds = 245 * 8;
constexpr double kFeldHellBandwidthHz = 350.0;

// The modes in common use, at their usual parameters. FSK Hell's tones lie half its pixel rate
// apart (minimum shift).
constexpr std::array kModes{
    CHellMode{"Feld-Hell", "FELDHELL", kFeldHellPer8Seconds, EHellKeying::OnOff, kFeldHellBandwidthHz},
    CHellMode{"Slow Hell", "SLOWHELL", 245, EHellKeying::OnOff, 40.0},
    CHellMode{"Hell X5", "HELLX5", 1225 * 8, EHellKeying::OnOff, 1750.0},
    CHellMode{"Hell X9", "HELLX9", 2205 * 8, EHellKeying::OnOff, 3150.0},
    CHellMode{"FSK Hell 245", "FSKHELL245", kFeldHellPer8Seconds, EHellKeying::Fsk, 490.0, 122.5},
};
} // namespace

double CHellMode::GetPaceFactor() const
{
    return static_cast<double>(m_nPixelsPer8Seconds) / kFeldHellPer8Seconds;
}

double CHellMode::GetWidthFactor() const
{
    return m_dBandwidthHz / kFeldHellBandwidthHz;
}

namespace HellModes
{
std::span<const CHellMode> All()
{
    return kModes;
}

const CHellMode& FeldHell()
{
    return kModes.front();
}

const CHellMode* Find(std::string_view strWord)
{
    for (const CHellMode& mode : kModes)
        if (mode.m_strWord == strWord)
            return &mode;
    return nullptr;
}
} // namespace HellModes
