// The heartbeat calls nothing outside the document while it holds the transmit queue's lock: the
// I/O thread, which takes an item from that queue in every transmit slot, is never held up by the
// transmit view choosing a character or by the window's update pass.

#include "MemoryProfile.h"

#include "doc/IDocHost.h"
#include "doc/IXmitSource.h"
#include "doc/SkrivelDoc.h"
#include "link/TxItems.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <vector>

namespace
{
// Plays the I/O thread for one transmit slot; true when it got its item without waiting long. A
// slot held up by a lock of the caller's goes on once the caller lets go; slots keeps it till then.
bool IoThreadTakesAnItem(CLinkQueues& queues, std::vector<std::future<std::uint32_t>>& slots)
{
    slots.push_back(std::async(std::launch::async,
                               [&queues] { return queues.TakeTx(TxItems::kReceive, TxItems::kColumnItems); }));
    return slots.back().wait_for(std::chrono::seconds(5)) == std::future_status::ready;
}

// The transmit view and the host, each checking the I/O thread's way to the queue while it is
// called from the heartbeat.
class CCheckingSurroundings : public IXmitSource, public IDocHost
{
public:
    void GetNextXmitChar(int& ch, bool& morse) override
    {
        m_bViewLetThrough = IoThreadTakesAnItem(*m_pQueues, m_Slots);
        ++m_nViewCalls;
        ch = m_nViewCalls < 3 ? 'A' : -1;
        morse = false;
    }
    void ClearUnsentText() override {}
    void ShowMessage(const std::string&, const std::string&) override {}
    void OnIdle() override
    {
        m_bIdleLetThrough = IoThreadTakesAnItem(*m_pQueues, m_Slots);
        ++m_nIdleCalls;
    }

    CLinkQueues* m_pQueues = nullptr;
    std::vector<std::future<std::uint32_t>> m_Slots;
    int m_nViewCalls = 0;
    int m_nIdleCalls = 0;
    bool m_bViewLetThrough = false;
    bool m_bIdleLetThrough = false;
};
} // namespace

TEST(TransmitLockTest, TheIoThreadNeverWaitsWhileTheViewOrTheUpdatePassRuns)
{
    CMemoryProfile profile;
    profile.Set("Comm", "Port", "");
    profile.Set("Tx", "FontFileName", "/nonexistent/font.hlf");
    CCheckingSurroundings checks;
    CSkrivelDoc doc(profile, checks);
    checks.m_pQueues = &doc.GetQueues();
    doc.OnNewDocument();
    doc.SetXmitSource(&checks);

    doc.OnTransmit();
    for (int i = 0; i < 6; ++i)
    {
        std::vector<std::uint32_t> items;
        doc.GetQueues().TakeAllTx(items);
        doc.Tick();
        for (auto& slot : checks.m_Slots)
            slot.wait();
        checks.m_Slots.clear();
    }
    // The view was asked for characters and, once the text ran out, the update pass ran.
    EXPECT_GE(checks.m_nViewCalls, 3);
    EXPECT_GE(checks.m_nIdleCalls, 1);
    EXPECT_TRUE(checks.m_bViewLetThrough);
    EXPECT_TRUE(checks.m_bIdleLetThrough);
}
