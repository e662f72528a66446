#pragma once

#include "board/TxByteFifo.h"

#include <atomic>
#include <cstdint>
#include <vector>

class CBoardEngine;
class CPtyPort;

// Runs the board in real time behind its pseudo-terminals: one level byte to each port every
// 1/490 s, on absolute deadlines of the monotonic clock, and every second slot one pixel of the
// engine, fed with the next byte each port's program wrote.
class CBoardRunner
{
public:
    struct CStats
    {
        std::int64_t m_nTicks = 0;
        std::int64_t m_nMaxLateNs = 0; // the latest wake-up after a deadline
    };

    // One port per board of the engine; all must outlive the runner.
    CBoardRunner(CBoardEngine& engine, std::vector<CPtyPort*> ports);

    // Runs until bStop is set (it is looked at every slot, so a signal handler may set it).
    void Run(const std::atomic<bool>& bStop);
    const CStats& GetStats() const { return m_Stats; }

private:
    CBoardEngine& m_Engine;
    std::vector<CPtyPort*> m_Ports;
    std::vector<CTxByteFifo> m_Fifos;
    CStats m_Stats;
};
