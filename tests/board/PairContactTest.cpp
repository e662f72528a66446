#include "BoardTestUtil.h"
#include "FakeXmitSource.h"
#include "MemoryProfile.h"
#include "RecordingHost.h"

#include "board/BoardEngine.h"
#include "board/BoardRunner.h"
#include "board/PtyPort.h"
#include "doc/SkrivelDoc.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace
{
// One Skrivel without a window: a document on a memory profile whose port is a board's.
struct CStation
{
    explicit CStation(const std::string& strPort)
    {
        m_Profile.Set("Comm", "Port", strPort);
        m_Profile.Set("Tx", "FontFileName", SKRIVEL_BUNDLED_FONT);
        m_Doc.SetXmitSource(&m_Source);
    }

    std::vector<std::uint8_t> Received() const
    {
        std::vector<std::uint8_t> samples;
        for (int nPage = 0; nPage < m_Doc.m_RxStore.m_nRxPages; ++nPage)
        {
            const std::uint8_t* pPage = m_Doc.m_RxStore.m_RxPages[static_cast<std::size_t>(nPage)]->data();
            samples.insert(samples.end(), pPage, pPage + m_Doc.m_RxStore.GetPageByteCount(nPage));
        }
        return samples;
    }

    CMemoryProfile m_Profile;
    CRecordingHost m_Host;
    CFakeXmitSource m_Source;
    CSkrivelDoc m_Doc{m_Profile, m_Host};
};

// The heartbeat of both programs for a while, as their 20 ms timers would run it.
void RunBoth(CStation& a, CStation& b, std::chrono::milliseconds duration)
{
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end)
    {
        a.m_Doc.Tick();
        b.m_Doc.Tick();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}
} // namespace

TEST(PairContact, TextTypedOnOneSkrivelIsReadFromTheOthersPicture)
{
    CBoardSettings settings;
    settings.m_bPair = true;
    settings.m_SnrDb = 10.0;
    CBoardEngine engine(settings, BundledFont());
    CPtyPort portA;
    CPtyPort portB;
    ASSERT_TRUE(portA.Open() && portB.Open());
    CBoardRunner runner(engine, {&portA, &portB});
    std::atomic<bool> bStop{false};
    std::thread board([&] { runner.Run(bStop); });

    CStation a(portA.GetDevicePath());
    CStation b(portB.GetDevicePath());
    ASSERT_TRUE(a.m_Doc.OnNewDocument());
    ASSERT_TRUE(b.m_Doc.OnNewDocument());
    EXPECT_EQ(a.m_Doc.GetPortName(), portA.GetDevicePath());
    EXPECT_EQ(b.m_Doc.GetPortName(), portB.GetDevicePath());
    RunBoth(a, b, std::chrono::milliseconds(500));
    // B closes its port and opens it again, as the operator choosing it once more would.
    ASSERT_TRUE(b.m_Doc.OpenPort(portB.GetDevicePath()));
    RunBoth(a, b, std::chrono::milliseconds(500));

    a.m_Source.m_strText = "CQ CQ DE TEST";
    a.m_Doc.OnTransmit();
    a.m_Doc.OnReceive(); // back to receiving once the text is sent
    for (int i = 0; i < 500 && a.m_Doc.m_bTransmitting; ++i)
        RunBoth(a, b, std::chrono::milliseconds(20));
    EXPECT_FALSE(a.m_Doc.m_bTransmitting);
    // The last characters are still in the queues, the board and its filters.
    RunBoth(a, b, std::chrono::milliseconds(1500));
    bStop = true;
    board.join();

    const std::string strRead = CHellReader::TextOf(CHellReader(BundledFont()).Read(b.Received()));
    EXPECT_NE(strRead.find(" CQ CQ DE TEST "), std::string::npos) << strRead;
    EXPECT_TRUE(a.m_Host.m_Messages.empty());
    EXPECT_TRUE(b.m_Host.m_Messages.empty());
}
