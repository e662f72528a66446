// Feeds any byte stream from the board through the heartbeat, with operator commands taken from
// the stream itself between bursts, and checks the store holds exactly what was let through.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    CFuzzDoc fuzz;
    CSkrivelDoc& doc = fuzz.doc;
    std::size_t nExpected = 0;
    std::size_t i = 0;
    while (i < nSize)
    {
        // A control byte: a command, then a burst of samples of the length it gives.
        const std::uint8_t nControl = pData[i++];
        switch (nControl % 8)
        {
        case 0:
            doc.OnTransmit();
            break;
        case 1:
            doc.OnReceive();
            break;
        case 2:
            doc.OnImmediateReceive();
            break;
        case 3:
            doc.OnDisplayOff();
            break;
        case 4:
            doc.OnDisplayOn();
            break;
        case 5:
            doc.OnFullDuplex();
            break;
        case 6:
            doc.OnClearRx();
            nExpected = 0;
            break;
        default:
            break;
        }
        const std::size_t nBurst = std::min<std::size_t>(nControl * 37u, nSize - i);
        const bool bStored = doc.m_bDisplayOn && (!doc.m_bTransmitting || doc.m_bFullDuplex);
        for (std::size_t j = 0; j < nBurst; ++j)
            doc.GetQueues().AddRx(pData[i + j]);
        doc.Tick();
        if (bStored)
            nExpected += std::min<std::size_t>(nBurst, CLinkQueues::kRxQueueCap);
        i += nBurst;
        if (doc.m_RxStore.GetByteCount() != nExpected)
            std::abort();
    }
    return 0;
}
