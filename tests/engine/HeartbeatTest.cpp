#include "FakeXmitSource.h"
#include "MemoryProfile.h"
#include "RecordingHost.h"

#include "doc/IRxDisplay.h"
#include "doc/IXmitSource.h"
#include "doc/SkrivelDoc.h"
#include "engine/MorseEncoder.h"
#include "link/DummyPort.h"
#include "link/ItemQueue.h"
#include "link/TxItems.h"

#include <gtest/gtest.h>

#include <clocale>
#include <memory>
#include <string>
#include <vector>

namespace
{
// The heartbeat driven by hand, with no port and a font whose glyphs are told apart by one pixel:
// glyph c has only column 0, row (c % 14) marked, glyph 32 is blank.
class HeartbeatTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Profile.Set("Comm", "Port", "");
        m_Profile.Set("Tx", "FontFileName", "/nonexistent/font.hlf");
        m_Doc.OnNewDocument();
        m_Host.m_Messages.clear();
        m_Doc.m_HellFont.m_HellFont.fill(0);
        for (int c = 0; c < 256; ++c)
            if (c != ' ')
                m_Doc.m_HellFont.m_HellFont[c * 84 + c % 14] = 1;
        m_Doc.SetXmitSource(&m_Source);
    }

    // Takes everything queued for the board.
    std::vector<std::uint32_t> TakeTx()
    {
        std::vector<std::uint32_t> items;
        m_Doc.GetQueues().TakeAllTx(items);
        return items;
    }

    // One heartbeat with an empty transmit queue: the items of one refill.
    std::vector<std::uint32_t> Refill()
    {
        m_Doc.Tick();
        return TakeTx();
    }

    // One heartbeat with nQueued items still waiting for the board: how many wait after it.
    std::size_t TickWithQueued(std::size_t nQueued)
    {
        TakeTx();
        {
            m_Doc.GetQueues().AddTx(TxItems::kBlank, nQueued);
        }
        return Refill().size();
    }

    void QueueRx(std::uint32_t nItem, int nCount = 1)
    {
        m_Doc.GetQueues().AddRx(std::vector<std::uint32_t>(static_cast<std::size_t>(nCount), nItem));
    }

    static std::vector<std::uint32_t> FeldHellOf(int c)
    {
        std::vector<std::uint32_t> items(98, TxItems::kBlank);
        if (c != ' ')
            items[c % 14] = TxItems::kMarked;
        return items;
    }

    CMemoryProfile m_Profile;
    CRecordingHost m_Host;
    CSkrivelDoc m_Doc{m_Profile, m_Host};
    CFakeXmitSource m_Source;
};

const std::vector<std::uint32_t> kIdleColumn(14, TxItems::kReceive);

// The C library's locale for one scope, as Qt sets it from the environment at start-up.
class CScopedLocale
{
public:
    explicit CScopedLocale(const char* pszName)
        : m_strPrevious(std::setlocale(LC_ALL, nullptr)), m_bSet(std::setlocale(LC_ALL, pszName) != nullptr)
    {
    }
    ~CScopedLocale() { std::setlocale(LC_ALL, m_strPrevious.c_str()); }
    CScopedLocale(const CScopedLocale&) = delete;
    CScopedLocale& operator=(const CScopedLocale&) = delete;
    bool IsSet() const { return m_bSet; }

private:
    std::string m_strPrevious;
    bool m_bSet;
};
} // namespace

TEST_F(HeartbeatTest, ReceivingAppendsOneIdleColumnOnlyBelowTheRefillMark)
{
    EXPECT_EQ(Refill(), kIdleColumn);
    EXPECT_EQ(TickWithQueued(28), 28u);
    m_Source.m_strText = "A";
    m_Doc.OnTransmit();
    EXPECT_EQ(TickWithQueued(27), 27u + 98u); // the lead-in space, whole
}

namespace
{
// A port at Hell X9's pace that takes no items, so that the queue stays as the heartbeat left it.
class CFastPort : public CDummyPort
{
public:
    bool CanTransmit() const override { return false; }
    int GetItemRate() const override { return 2205; }
};
} // namespace

// The refill mark lasts as long at a faster port's pace: nine times as many items at Hell X9.
TEST_F(HeartbeatTest, TheRefillMarkScalesWithThePortsPace)
{
    m_Doc.SetPortFactory([](const std::string&) { return std::make_unique<CFastPort>(); });
    ASSERT_TRUE(m_Doc.OpenPort("FAST"));
    EXPECT_EQ(TickWithQueued(252), 252u);
    EXPECT_EQ(TickWithQueued(251), 251u + 14u); // an idle column
}

// The lead-in lasts as long at every pace: a space at Feld-Hell's, nine at Hell X9's.
TEST_F(HeartbeatTest, TheLeadInLastsAsLongAtAFasterPortsPace)
{
    m_Doc.SetPortFactory([](const std::string&) { return std::make_unique<CFastPort>(); });
    ASSERT_TRUE(m_Doc.OpenPort("FAST"));
    m_Source.m_strText = "B";
    m_Doc.OnTransmit();
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(Refill(), FeldHellOf(' ')) << i;
    EXPECT_EQ(Refill(), FeldHellOf('B'));
}

TEST_F(HeartbeatTest, TransmitSendsTheLeadInThenTextOrFillerAndReceiveFinishesTheText)
{
    m_Doc.OnTransmit();
    EXPECT_STREQ(m_Doc.GetStatusText(), "Transmitting");
    EXPECT_EQ(Refill(), FeldHellOf(' '));
    EXPECT_STREQ(m_Doc.GetStatusText(), "Transmitting");
    EXPECT_EQ(Refill(), FeldHellOf(1)); // nothing to send: the diddle
    EXPECT_STREQ(m_Doc.GetStatusText(), "Idling");
    EXPECT_EQ(m_Host.m_nIdleCalls, 1);
    m_Doc.OnDiddle();
    EXPECT_EQ(Refill(), FeldHellOf(' '));
    EXPECT_EQ(m_Host.m_nIdleCalls, 2); // every filler refill asks for an idle update

    m_Source.m_strText = "BC";
    EXPECT_EQ(Refill(), FeldHellOf('B'));
    EXPECT_STREQ(m_Doc.GetStatusText(), "Transmitting");
    m_Doc.OnReceive();
    EXPECT_STREQ(m_Doc.GetStatusText(), "Finishing Transmission");
    EXPECT_EQ(Refill(), FeldHellOf('C'));
    EXPECT_STREQ(m_Doc.GetStatusText(), "Finishing Transmission");
    EXPECT_EQ(Refill(), FeldHellOf(' ')); // one last space
    EXPECT_STREQ(m_Doc.GetStatusText(), "Receiving");
    EXPECT_EQ(Refill(), kIdleColumn);
}

TEST_F(HeartbeatTest, TransmitCancelsAFinishAndReceiveWhileIdlingEndsAtTheNextRefill)
{
    m_Source.m_strText = "B";
    m_Doc.OnTransmit();
    Refill();
    m_Doc.OnReceive();
    m_Doc.OnTransmit();
    EXPECT_STREQ(m_Doc.GetStatusText(), "Transmitting");
    EXPECT_FALSE(m_Doc.m_bTxStarting); // no second lead-in
    EXPECT_EQ(Refill(), FeldHellOf('B'));
    EXPECT_EQ(Refill(), FeldHellOf(1));
    m_Doc.OnReceive();
    m_Doc.OnReceive(); // twice changes nothing more
    EXPECT_TRUE(m_Doc.m_bFinishTx);
    EXPECT_STREQ(m_Doc.GetStatusText(), "Idling");
    EXPECT_EQ(Refill(), FeldHellOf(' '));
    EXPECT_STREQ(m_Doc.GetStatusText(), "Receiving");
}

TEST_F(HeartbeatTest, ImmediateReceiveKeepsWhatIsQueued)
{
    m_Source.m_strText = "B";
    m_Doc.OnTransmit();
    m_Doc.Tick();
    m_Doc.OnImmediateReceive();
    EXPECT_STREQ(m_Doc.GetStatusText(), "Receiving");
    EXPECT_FALSE(m_Doc.m_bTxStarting);
    EXPECT_EQ(TakeTx(), FeldHellOf(' '));
    EXPECT_EQ(Refill(), kIdleColumn);
    EXPECT_EQ(m_Source.m_nPos, 0u);
}

TEST_F(HeartbeatTest, UpperCaseConvertsOnlyTheText)
{
    m_Source.m_strText = "a";
    m_Doc.OnTransmit();
    Refill();
    EXPECT_EQ(Refill(), FeldHellOf('A'));
    m_Doc.OnUpperCase();
    m_Source.m_strText = "aa";
    EXPECT_EQ(Refill(), FeldHellOf('a'));
}

TEST_F(HeartbeatTest, UpperCaseAndMorseKnowOnlyAToZWhateverTheLocale)
{
    // Under Turkish locales the C library keeps "i" as it is (UTF-8) or makes it a dotted capital
    // (ISO-8859-9), and makes the 0xE4 of a Latin-1 "a umlaut" 0xC4.
    CItemQueue morse;
    MorseEncoder::AppendItems('I', morse);
    std::vector<std::uint32_t> morseOfI;
    morse.RemoveAll(morseOfI);
    int nLocales = 0;
    for (const char* pszLocale : {"tr_TR.UTF-8", "tr_TR.ISO-8859-9"})
    {
        const CScopedLocale locale(pszLocale);
        if (!locale.IsSet())
            continue;
        ++nLocales;
        m_Source = CFakeXmitSource("i\xE4i", "  *");
        m_Doc.m_bUpperCase = true;
        m_Doc.OnTransmit();
        Refill(); // the lead-in
        EXPECT_EQ(Refill(), FeldHellOf('I')) << pszLocale;
        EXPECT_EQ(Refill(), FeldHellOf(0xE4)) << pszLocale;
        m_Doc.m_bUpperCase = false; // the Morse table itself takes lower case as upper case
        EXPECT_EQ(Refill(), morseOfI) << pszLocale;
        m_Doc.OnImmediateReceive();
    }
    if (nLocales == 0)
        GTEST_SKIP() << "no Turkish locale is installed (package locales-all)";
}

TEST_F(HeartbeatTest, BoldCharactersGoOutAsMorseAndTheFillerAsFeldHell)
{
    m_Source.m_strText = "E";
    m_Source.m_strMorse = "*";
    m_Doc.OnTransmit();
    Refill();
    const std::vector<std::uint32_t> items = Refill();
    ASSERT_EQ(items.size(), 56u);
    EXPECT_EQ(items[21], TxItems::kMarked);
    EXPECT_EQ(Refill(), FeldHellOf(1));
}

TEST_F(HeartbeatTest, ReceivedSamplesAreStoredOrDroppedByTheOperatingState)
{
    QueueRx(0x1FF); // only the low byte counts
    m_Doc.Tick();
    ASSERT_EQ(m_Doc.m_RxStore.GetByteCount(), 1u);
    EXPECT_EQ((*m_Doc.m_RxStore.m_pRxPage)[0], 0xFF);

    // Full duplex stores while transmitting; half duplex drops, and so does a display turned off.
    const auto receiveThree = [this]
    {
        QueueRx(1, 3);
        m_Doc.Tick();
        return m_Doc.m_RxStore.GetByteCount();
    };
    m_Doc.OnTransmit();
    EXPECT_EQ(receiveThree(), 4u);
    m_Doc.OnFullDuplex();
    EXPECT_EQ(receiveThree(), 4u);
    m_Doc.OnImmediateReceive();
    m_Doc.OnDisplayOff();
    EXPECT_EQ(receiveThree(), 4u);
    EXPECT_EQ(m_Doc.GetQueues().GetRxCount(), 0u); // drained in every state
}

namespace
{
// The transmit text and the receive picture of a program whose views run a message loop inside
// the heartbeat, and so a heartbeat of their own: the text while it is asked for a character (the
// transmit queue's lock is held then), the picture while a column is painted (no lock is held).
// A nested heartbeat must return at once, touching neither queue.
class CNestingViews : public IXmitSource, public IRxDisplay
{
public:
    // Leaves a nested heartbeat that paints, before it can wait for the lock the outer one holds.
    struct CNestedPaint
    {
    };

    explicit CNestingViews(CSkrivelDoc& doc) : m_Doc(doc) {}

    void GetNextXmitChar(int& ch, bool& morse) override
    {
        ch = 'B';
        morse = false;
        if (!m_bNestInText)
            return;
        // A whole column arrives first: a nested heartbeat that took it in would paint it.
        for (int i = 0; i < 28; ++i)
            m_Doc.GetQueues().AddRx(5);
        m_bInText = true;
        try
        {
            m_Doc.Tick();
        }
        catch (const CNestedPaint&)
        {
            ADD_FAILURE() << "a heartbeat nested in the transmit text drained the receive queue";
        }
        m_bInText = false;
        EXPECT_EQ(RxWaiting(), 28u);
    }
    void ClearUnsentText() override {}

    void PaintColumn(int, int) override
    {
        if (m_bInText)
            throw CNestedPaint{};
        if (!m_bNestInPicture)
            return;
        m_bNestInPicture = false;
        m_Doc.GetQueues().AddRx(5);
        const std::size_t nTxBefore = TxWaiting();
        m_Doc.Tick();
        EXPECT_EQ(RxWaiting(), 1u) << "a heartbeat nested in the picture drained the receive queue";
        EXPECT_EQ(TxWaiting(), nTxBefore) << "a heartbeat nested in the picture refilled the transmit queue";
    }
    void UpdateScrollSizes() override {}
    void FollowEnd() override {}
    void ScrollToEnd() override {}
    void OnUpdate() override {}

    bool m_bNestInText = false;
    bool m_bNestInPicture = false; // once

private:
    std::size_t RxWaiting() { return m_Doc.GetQueues().GetRxCount(); }
    std::size_t TxWaiting() { return m_Doc.GetQueues().GetTxCount(); }

    CSkrivelDoc& m_Doc;
    bool m_bInText = false;
};
} // namespace

TEST_F(HeartbeatTest, AHeartbeatNestedInTheTransmitTextReturnsWithoutTouchingTheQueues)
{
    CNestingViews views(m_Doc);
    m_Doc.SetXmitSource(&views);
    m_Doc.SetRxDisplay(&views);
    m_Doc.OnTransmit();
    Refill();
    views.m_bNestInText = true;
    EXPECT_EQ(Refill(), FeldHellOf('B'));
    views.m_bNestInText = false;
    EXPECT_EQ(Refill(), FeldHellOf('B')); // the guard is released after each heartbeat
    EXPECT_EQ(m_Doc.m_RxStore.GetByteCount(), 28u); // the column, taken in by the outer heartbeat
    m_Doc.SetRxDisplay(nullptr);
}

TEST_F(HeartbeatTest, AHeartbeatNestedInTheReceivePictureReturnsWithoutTouchingTheQueues)
{
    CNestingViews views(m_Doc);
    m_Doc.SetRxDisplay(&views);
    views.m_bNestInPicture = true;
    QueueRx(7, 28);
    EXPECT_EQ(Refill(), kIdleColumn); // refilled once
    EXPECT_FALSE(views.m_bNestInPicture);
    EXPECT_EQ(m_Doc.m_RxStore.GetByteCount(), 29u); // the sample that came meanwhile, taken in too
    m_Doc.SetRxDisplay(nullptr);
}

TEST_F(HeartbeatTest, ClearTxBufferDropsTheUnsentText)
{
    m_Source.m_strText = "BCD";
    m_Doc.OnTransmit();
    Refill();
    Refill();
    m_Doc.OnClearTxBuffer();
    EXPECT_EQ(m_Source.m_strText, "B");
    EXPECT_EQ(Refill(), FeldHellOf(1));
}
