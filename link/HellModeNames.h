#pragma once

#include <array>
#include <string_view>

// The Hell modes as the operator and the profile name them, in the modem's order (Feld-Hell first,
// the mode of a serial board and DUMMY). A port and the operator's thread pass a mode as its index
// here.
namespace HellModeNames
{
struct SName
{
    std::string_view m_strName; // as the operator reads it
    std::string_view m_strWord; // in the profile ([Comm] Mode=) and on the board's command line
};

inline constexpr std::array<SName, 5> kAll{{
    {"Feld-Hell", "FELDHELL"},
    {"Slow Hell", "SLOWHELL"},
    {"Hell X5", "HELLX5"},
    {"Hell X9", "HELLX9"},
    {"FSK Hell 245", "FSKHELL245"},
}};

// Feld-Hell's transmit items a second (one a pixel): the pace of a serial board and DUMMY.
inline constexpr int kFeldHellItemRate = 245;

// The index of the mode a word names; -1 for none.
constexpr int IndexOf(std::string_view strWord)
{
    for (std::size_t i = 0; i < kAll.size(); ++i)
        if (kAll[i].m_strWord == strWord)
            return static_cast<int>(i);
    return -1;
}
} // namespace HellModeNames
