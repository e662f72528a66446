// The document's commands through the window: actions, marks in every operating state, the
// greyed items, the ports and the canned messages.

#include "FrameFixture.h"
#include "ModalDialogs.h"
#include "ui/CommandIds.h"
#include "ui/SkrivelXmitMessage.h"
#include "ui/SkrivelXmitMessageSheet.h"

#include <QActionGroup>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace
{
struct SFlags
{
    bool bTransmitting, bTxStarting, bFinishTx, bTxIdle;
    bool operator==(const SFlags&) const = default;
};

SFlags FlagsOf(const CSkrivelDoc& doc)
{
    return {doc.m_bTransmitting, doc.m_bTxStarting, doc.m_bFinishTx, doc.m_bTxIdle};
}

bool IsRadio(const QAction* pAction)
{
    return pAction->actionGroup() != nullptr && pAction->actionGroup()->isExclusive();
}

// A pseudo-terminal whose slave the program opens as its port; the test holds the master.
struct CPty
{
    CPty()
    {
        int nSlave = -1;
        char szName[128] = {};
        if (::openpty(&m_nMaster, &nSlave, szName, nullptr, nullptr) == 0)
        {
            m_strSlave = szName;
            ::close(nSlave);
        }
    }
    ~CPty()
    {
        if (m_nMaster >= 0)
            ::close(m_nMaster);
    }
    // The next byte the program writes, waiting at most two seconds.
    int ReadByte() const
    {
        pollfd pfd{m_nMaster, POLLIN, 0};
        unsigned char c = 0;
        if (::poll(&pfd, 1, 2000) != 1 || ::read(m_nMaster, &c, 1) != 1)
            return -1;
        return c;
    }

    int m_nMaster = -1;
    std::string m_strSlave;
};

const int kCommIds[] = {ID_COMM_COM1, ID_COMM_COM2, ID_COMM_COM3, ID_COMM_COM4, ID_COMM_DUMMY};
} // namespace

class CDocCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void TransmitAndReceiveMarksInEveryState();
    void TransmitReceiveAndImmediateReceiveActions();
    void OptionsAndDisplayCommandsFlipTheirFlagAndMark();
    void ItemsThatNothingHandlesAreGreyed();
    void ClearTxBufferFromTheToolbarKeepsSentText();
    void CtrlLRunsOneHeartbeat();
    void PortFromTheProfileIsAPseudoTerminal();
    void MissingDevicesMarkNoPort();
    void EditedMessageIsInsertedAtTheCaret();
};

void CDocCommandsTest::TransmitAndReceiveMarksInEveryState()
{
    CFrameFixture f;
    QAction* pTransmit = f.Frame().GetAction(ID_OPERATE_TRANSMIT);
    QAction* pReceive = f.Frame().GetAction(ID_OPERATE_RECEIVE);
    f.Frame().UpdateCommandUI();
    QVERIFY(IsRadio(pTransmit));
    QVERIFY(IsRadio(pReceive));
    QVERIFY(!IsRadio(f.Frame().GetAction(ID_OPERATE_UPPER_CASE)));
    QVERIFY(!f.Frame().GetAction(ID_OPERATE_IMMEDIATE_RECEIVE)->isChecked());

    // Receiving.
    QVERIFY(!f.IsMarked(ID_OPERATE_TRANSMIT));
    QVERIFY(f.IsMarked(ID_OPERATE_RECEIVE));
    // Transmitting.
    QTest::keyClicks(&f.TxView(), "AB");
    f.Choose(ID_OPERATE_TRANSMIT);
    QVERIFY(pTransmit->isChecked());
    QVERIFY(!pReceive->isChecked());
    // Finishing: both marks; the toolbar buttons show the same.
    f.Choose(ID_OPERATE_RECEIVE);
    QVERIFY(pTransmit->isChecked());
    QVERIFY(pReceive->isChecked());
    auto* pReceiveButton = qobject_cast<QToolButton*>(f.Frame().GetToolBar()->widgetForAction(pReceive));
    QVERIFY(pReceiveButton->isChecked());
    // Transmit cancels the finish and the Receive mark goes.
    f.Choose(ID_OPERATE_TRANSMIT);
    QVERIFY(pTransmit->isChecked());
    QVERIFY(!pReceive->isChecked());
    QVERIFY(!pReceiveButton->isChecked());
    // Idling: the text is used up.
    for (int i = 0; i < 4; ++i)
        f.TickOnce();
    QVERIFY(f.Doc().m_bTxIdle);
    QVERIFY(f.IsMarked(ID_OPERATE_TRANSMIT));
    QVERIFY(!f.IsMarked(ID_OPERATE_RECEIVE));
    f.Choose(ID_OPERATE_RECEIVE);
    QVERIFY(f.IsMarked(ID_OPERATE_TRANSMIT));
    QVERIFY(f.IsMarked(ID_OPERATE_RECEIVE));
}

void CDocCommandsTest::TransmitReceiveAndImmediateReceiveActions()
{
    CFrameFixture f;
    QTest::keyClicks(&f.TxView(), "ABC");

    // Receive while receiving changes nothing.
    const SFlags receiving = FlagsOf(f.Doc());
    f.Choose(ID_OPERATE_RECEIVE);
    QVERIFY(FlagsOf(f.Doc()) == receiving);

    f.Choose(ID_OPERATE_TRANSMIT);
    QVERIFY((FlagsOf(f.Doc()) == SFlags{true, true, false, false}));
    f.TickOnce(); // the lead-in space clears the starting flag
    const SFlags transmitting = FlagsOf(f.Doc());
    f.Choose(ID_OPERATE_TRANSMIT);
    QVERIFY(FlagsOf(f.Doc()) == transmitting);

    f.Choose(ID_OPERATE_RECEIVE);
    QVERIFY(f.Doc().m_bFinishTx);
    // Transmit only cancels the finish; it does not start the transmission again.
    f.Choose(ID_OPERATE_TRANSMIT);
    QVERIFY(FlagsOf(f.Doc()) == transmitting);

    for (const bool bFinish : {false, true})
    {
        f.Choose(ID_OPERATE_TRANSMIT);
        if (bFinish)
            f.Choose(ID_OPERATE_RECEIVE);
        f.Choose(ID_OPERATE_IMMEDIATE_RECEIVE);
        QVERIFY((FlagsOf(f.Doc()) == SFlags{false, false, false, false}));
    }
}

void CDocCommandsTest::OptionsAndDisplayCommandsFlipTheirFlagAndMark()
{
    CFrameFixture f;
    CSkrivelDoc& doc = f.Doc();
    // Radio pairs: choosing one marks it and unmarks the other.
    const struct
    {
        int nOn, nOff;
        bool* pFlag;
        bool bFlagWhenOn;
    } pairs[] = {
        {ID_OPERATE_DISPLAY_OFF, ID_OPERATE_DISPLAY_ON, &doc.m_bDisplayOn, false},
        {ID_VIEW_BLACK_ON_WHITE, ID_VIEW_WHITE_ON_BLACK, &doc.m_bReverseVideo, true},
    };
    // The same while receiving and while transmitting.
    for (const bool bTransmitting : {false, true})
    {
        if (bTransmitting)
            f.Choose(ID_OPERATE_TRANSMIT);
        for (const auto& pair : pairs)
        {
            f.Choose(pair.nOn);
            QCOMPARE(*pair.pFlag, pair.bFlagWhenOn);
            QVERIFY(f.IsMarked(pair.nOn));
            QVERIFY(!f.IsMarked(pair.nOff));
            f.Choose(pair.nOff);
            QCOMPARE(*pair.pFlag, !pair.bFlagWhenOn);
            QVERIFY(!f.IsMarked(pair.nOn));
            QVERIFY(f.IsMarked(pair.nOff));
        }
    }
    // Check marks follow their toggles.
    const struct
    {
        int nID;
        bool* pFlag;
    } toggles[] = {
        {ID_OPERATE_UPPER_CASE, &doc.m_bUpperCase},
        {ID_OPERATE_FULL_DUPLEX, &doc.m_bFullDuplex},
        {ID_OPERATE_DIDDLE, &doc.m_bUseDiddle},
    };
    for (const auto& toggle : toggles)
    {
        QVERIFY(*toggle.pFlag); // on in an empty profile
        QVERIFY(f.IsMarked(toggle.nID));
        f.Choose(toggle.nID);
        QVERIFY(!*toggle.pFlag);
        QVERIFY(!f.IsMarked(toggle.nID));
        f.Choose(toggle.nID);
        QVERIFY(*toggle.pFlag);
    }
}

void CDocCommandsTest::ItemsThatNothingHandlesAreGreyed()
{
    CFrameFixture f;
    const int greyed[] = {ID_FILE_NONE_WORK,  ID_FILE_LOAD_TX, ID_FILE_SAVE_TX,
                          ID_FILE_SAVE_TX_AS, ID_COMM_COM4,    ID_COMM_9600,
                          ID_COMM_19200,      ID_COMM_38400,   ID_FILE_MRU_FILE1};
    for (const bool bRxPane : {false, true})
    {
        if (bRxPane)
            f.Key(Qt::Key_F6);
        for (const int nID : greyed)
            QVERIFY2(!f.IsEnabled(nID), qPrintable(QString::number(nID)));
        for (const int nID : {ID_FILE_SAVE, ID_HELP_FINDER, ID_COMM_COM1, ID_EDIT_EDIT_MESSAGES})
            QVERIFY2(f.IsEnabled(nID), qPrintable(QString::number(nID)));
    }
    // A greyed item's key does nothing either: the help keys are harmless.
    f.Key(Qt::Key_F1);
    f.Key(Qt::Key_F1, Qt::ShiftModifier);
    QVERIFY(f.m_Host.m_Messages.empty());
}

void CDocCommandsTest::ClearTxBufferFromTheToolbarKeepsSentText()
{
    CFrameFixture f;
    QTest::keyClicks(&f.TxView(), "ABC");
    f.Choose(ID_OPERATE_TRANSMIT);
    f.TickOnce(); // space
    f.TickOnce(); // A
    f.Frame().UpdateCommandUI();
    auto* pButton = qobject_cast<QToolButton*>(
        f.Frame().GetToolBar()->widgetForAction(f.Frame().GetAction(ID_EDIT_CLEAR_TX_BUFFER)));
    QTest::mouseClick(pButton, Qt::LeftButton);
    QCOMPARE(f.TxView().toPlainText(), QString("A"));
}

void CDocCommandsTest::CtrlLRunsOneHeartbeat()
{
    CFrameFixture f;
    QVERIFY(f.m_bActive);
    f.Key(Qt::Key_T, Qt::ControlModifier);
    f.Key(Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(f.TakeTxItems().size(), std::size_t(98)); // the lead-in space, 7 columns of 14
    QVERIFY(!f.Doc().m_bTxStarting);
}

void CDocCommandsTest::PortFromTheProfileIsAPseudoTerminal()
{
    CPty pty;
    QVERIFY(!pty.m_strSlave.empty());
    CFrameFixture f(pty.m_strSlave);
    QCOMPARE(f.Doc().GetPortName(), pty.m_strSlave);
    for (const int nID : kCommIds)
        QVERIFY(!f.IsMarked(nID));
    // The link runs: receiving, the board is sent "transmitter off".
    QCOMPARE(pty.ReadByte(), 0);

    f.Choose(ID_COMM_DUMMY);
    QCOMPARE(f.Doc().GetPortName(), std::string("DUMMY"));
    QVERIFY(f.IsMarked(ID_COMM_DUMMY));
    QVERIFY(f.m_Host.m_Messages.empty());
}

void CDocCommandsTest::MissingDevicesMarkNoPort()
{
    // A stored device that is gone: no message at start-up, nothing selected.
    CFrameFixture f("/dev/skrivel-test-missing");
    QVERIFY(f.m_Host.m_Messages.empty());
    QVERIFY(f.Doc().GetPortName().empty());
    for (const int nID : kCommIds)
        QVERIFY(!f.IsMarked(nID));

    const int fd = ::open("/dev/ttyS2", O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0)
    {
        ::close(fd);
        QSKIP("/dev/ttyS2 can be opened here; COM3 cannot fail");
    }
    f.Choose(ID_COMM_DUMMY);
    f.Choose(ID_COMM_COM3);
    QCOMPARE(f.m_Host.m_Messages, std::vector<std::string>{"Can't open port COM3"});
    QVERIFY(!f.m_Host.m_Details.at(0).empty()); // the system's reason
    for (const int nID : kCommIds)
        QVERIFY(!f.IsMarked(nID));
    f.Choose(ID_COMM_DUMMY);
    QVERIFY(f.IsMarked(ID_COMM_DUMMY));
    QCOMPARE(f.m_Host.m_Messages.size(), std::size_t(1));
}

void CDocCommandsTest::EditedMessageIsInsertedAtTheCaret()
{
    CFrameFixture f;
    QVERIFY(f.m_bActive);
    f.Doc().m_strXmitMessages[3] = "OLD";
    // Cancel keeps the message.
    WhenModal<CSkrivelXmitMessageSheet>(
        [](CSkrivelXmitMessageSheet& sheet)
        {
            sheet.GetPage(3).GetEdit()->setPlainText("CHANGED");
            sheet.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
        });
    f.Choose(ID_EDIT_EDIT_MESSAGES);
    QCOMPARE(f.Doc().m_strXmitMessages[3], std::string("OLD"));

    WhenModal<CSkrivelXmitMessageSheet>(
        [](CSkrivelXmitMessageSheet& sheet)
        {
            QCOMPARE(sheet.windowTitle(), QString("Transmit Messages"));
            sheet.GetPage(3).GetEdit()->setPlainText("DE XX");
            sheet.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
    f.Choose(ID_EDIT_EDIT_MESSAGES);
    QCOMPARE(f.Doc().m_strXmitMessages[3], std::string("DE XX"));

    QTest::keyClicks(&f.TxView(), "AB");
    f.Key(Qt::Key_Left);
    f.Key(Qt::Key_4, Qt::AltModifier);
    QCOMPARE(f.TxView().toPlainText(), QString("ADE XXB"));
}

QTEST_MAIN(CDocCommandsTest)
#include "DocCommandsTest.moc"
