#pragma once

#include <cstdint>

// Transmit items: one per transmitted pixel time; only the low byte goes to the board.
namespace TxItems
{
constexpr std::uint32_t kKeyed = 4;      // bit 2: transmitter keyed
constexpr std::uint32_t kTone = 2;       // bit 1: tone on, a marked pixel
constexpr std::uint32_t kReceive = 0;    // transmitter off
constexpr std::uint32_t kBlank = kKeyed; // keyed, no tone
constexpr std::uint32_t kMarked = kKeyed | kTone;
constexpr int kColumnItems = 14; // one Feld-Hell column, also one Morse dot
} // namespace TxItems
