#include "link/DummyPort.h"

#include "link/TxItems.h"

#include <chrono>
#include <thread>

namespace
{
constexpr std::uint32_t kToneLevel = 200;
constexpr std::uint32_t kSilenceLevel = 50;
constexpr auto kSlot = std::chrono::milliseconds(1);
} // namespace

std::uint32_t CDummyPort::ReadSlot(std::stop_token)
{
    // A slot is so short that a stop waits for it rather than waking it.
    std::this_thread::sleep_for(kSlot);
    return m_nLevel;
}

void CDummyPort::Transmit(std::uint32_t nItem)
{
    m_nLevel = (nItem & TxItems::kTone) != 0 ? kToneLevel : kSilenceLevel;
}
