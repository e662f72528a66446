#include "modem/HellMode.h"

#include "link/HellModeNames.h"

#include <array>

namespace
{
constexpr std::int64_t kFeldHellPer8Seconds = 245 * 8;
constexpr double kFeldHellBandwidthHz = 350.0;

// The modes in common use, at their usual parameters. FSK Hell's tones lie half its pixel rate
// apart (minimum shift).
using HellModeNames::kAll;
constexpr std::array kModes{
    CHellMode{kAll[0].m_strName, kAll[0].m_strWord, kFeldHellPer8Seconds, EHellKeying::OnOff, kFeldHellBandwidthHz},
    CHellMode{kAll[1].m_strName, kAll[1].m_strWord, 245, EHellKeying::OnOff, 40.0},
    CHellMode{kAll[2].m_strName, kAll[2].m_strWord, 1225 * 8, EHellKeying::OnOff, 1750.0},
    CHellMode{kAll[3].m_strName, kAll[3].m_strWord, 2205 * 8, EHellKeying::OnOff, 3150.0},
    CHellMode{kAll[4].m_strName, kAll[4].m_strWord, kFeldHellPer8Seconds, EHellKeying::Fsk, 490.0, 122.5},
};
static_assert(kModes.size() == kAll.size());
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
    const int nIndex = HellModeNames::IndexOf(strWord);
    return nIndex < 0 ? nullptr : &At(nIndex);
}

const CHellMode& At(int nIndex)
{
    return kModes.at(static_cast<std::size_t>(nIndex));
}
} // namespace HellModes
