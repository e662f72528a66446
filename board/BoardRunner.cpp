#include "board/BoardRunner.h"

#include "board/BoardEngine.h"
#include "board/PacedClock.h"
#include "board/PtyPort.h"
#include "modem/FeldHellRates.h"

#include <algorithm>

CBoardRunner::CBoardRunner(CBoardEngine& engine, std::vector<CPtyPort*> ports)
    : m_Engine(engine), m_Ports(std::move(ports)), m_Fifos(m_Ports.size())
{
}

void CBoardRunner::Run(const std::atomic<bool>& bStop)
{
    // The level slots of the mode: 2 a pixel, counted over eight seconds so that every pace is whole.
    const CHellMode& mode = m_Engine.GetMode();
    const CPacedClock clock(static_cast<int>(2 * mode.m_nPixelsPer8Seconds), 8);
    const std::int64_t nSlotsPerSecond = std::max(1, 2 * mode.GetItemRate());
    std::vector<std::uint8_t> txBytes(m_Ports.size());
    std::vector<CBoardEngine::Levels> levels(m_Ports.size());
    for (std::int64_t nTick = 0; !bStop.load(); ++nTick)
    {
        m_Stats.m_nMaxLateNs = std::max(m_Stats.m_nMaxLateNs, clock.WaitFor(nTick));
        m_Stats.m_nTicks = nTick + 1;
        const auto nSlot = static_cast<std::size_t>(nTick % FeldHellRates::kLevelsPerPixel);
        for (std::size_t p = 0; p < m_Ports.size(); ++p)
        {
            m_Ports[p]->ReadTx(m_Fifos[p]);
            if (nSlot == 0)
                txBytes[p] = m_Fifos[p].Pop();
        }
        if (nSlot == 0)
            m_Engine.StepPixel(txBytes, levels);
        for (std::size_t p = 0; p < m_Ports.size(); ++p)
        {
            m_Ports[p]->WriteLevel(levels[p][nSlot]);
            if (nTick % nSlotsPerSecond == 0)
                m_Ports[p]->Maintain();
        }
    }
}
