// The document's commands through the window: actions, marks in every operating state, the
// greyed items, the ports and the canned messages.

#include "FrameFixture.h"
#include "ModalDialogs.h"
#include "link/PseudoTerminal.h"
#include "ui/CommandIds.h"
#include "ui/SkrivelXmitMessage.h"
#include "ui/SkrivelXmitMessageSheet.h"
#include "ui/StatusPanes.h"

#include <QActionGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <fcntl.h>
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

const int kCommIds[] = {ID_COMM_COM1, ID_COMM_COM2, ID_COMM_COM3, ID_COMM_COM4, ID_COMM_DUMMY};
} // namespace

class CDocCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void TransmitAndReceiveInEveryState()
    {
        CFrameFixture f;
        QAction* pTransmit = f.Frame().GetAction(ID_OPERATE_TRANSMIT);
        QAction* pReceive = f.Frame().GetAction(ID_OPERATE_RECEIVE);
        auto* pReceiveButton = qobject_cast<QToolButton*>(f.Frame().GetToolBar()->widgetForAction(pReceive));
        QVERIFY(IsRadio(pTransmit) && IsRadio(pReceive));
        QVERIFY(!IsRadio(f.Frame().GetAction(ID_OPERATE_UPPER_CASE)));
        const auto marks = [&]
        {
            f.Frame().UpdateCommandUI();
            // The toolbar button shows what the menu item shows; Immediate Receive is never marked.
            return QString(pTransmit->isChecked() ? "T" : "") + (pReceive->isChecked() ? "R" : "") +
                   (pReceiveButton->isChecked() != pReceive->isChecked() ? " (button differs)" : "") +
                   (f.Frame().GetAction(ID_OPERATE_IMMEDIATE_RECEIVE)->isChecked() ? " (Immediate marked)"
                                                                                   : "");
        };
        QTest::keyClicks(&f.TxView(), "ABC");

        // Receiving: Receive changes nothing.
        const SFlags receiving = FlagsOf(f.Doc());
        f.Choose(ID_OPERATE_RECEIVE);
        QVERIFY(FlagsOf(f.Doc()) == receiving);
        QCOMPARE(marks(), QString("R"));
        // Transmitting: Transmit changes nothing.
        f.Choose(ID_OPERATE_TRANSMIT);
        QVERIFY((FlagsOf(f.Doc()) == SFlags{true, true, false, false}));
        f.TickOnce(); // the lead-in space clears the starting flag
        const SFlags transmitting = FlagsOf(f.Doc());
        f.Choose(ID_OPERATE_TRANSMIT);
        QVERIFY(FlagsOf(f.Doc()) == transmitting);
        QCOMPARE(marks(), QString("T"));
        // Finishing: both marks. Transmit only cancels the finish; it does not start again.
        f.Choose(ID_OPERATE_RECEIVE);
        QVERIFY(f.Doc().m_bFinishTx);
        QCOMPARE(marks(), QString("TR"));
        f.Choose(ID_OPERATE_TRANSMIT);
        QVERIFY(FlagsOf(f.Doc()) == transmitting);
        QCOMPARE(marks(), QString("T"));
        // Clear Tx Buffer keeps the sent A; idling once the text is used up.
        f.TickOnce();
        f.Choose(ID_EDIT_CLEAR_TX_BUFFER);
        QCOMPARE(f.TxView().toPlainText(), QString("A"));
        f.TickOnce();
        QVERIFY(f.Doc().m_bTxIdle);
        QCOMPARE(marks(), QString("T"));
        f.Choose(ID_OPERATE_RECEIVE);
        QCOMPARE(marks(), QString("TR"));
        // Immediate Receive, from finishing and from transmitting.
        for (const bool bFinish : {true, false})
        {
            if (!bFinish)
                f.Choose(ID_OPERATE_TRANSMIT);
            f.Choose(ID_OPERATE_IMMEDIATE_RECEIVE);
            QVERIFY((FlagsOf(f.Doc()) == SFlags{false, false, false, false}));
            QCOMPARE(marks(), QString("R"));
        }
    }

    void OptionsAndDisplayCommandsFlipTheirFlagAndMark()
    {
        CFrameFixture f;
        CSkrivelDoc& doc = f.Doc();
        // Each command, the flag it sets and, in a radio pair, the item it unmarks. The toggles are on
        // in an empty profile.
        const struct
        {
            int nID;
            bool* pFlag;
            bool bFlag;
            int nOther;
        } commands[] = {
            {ID_OPERATE_DISPLAY_OFF, &doc.m_bDisplayOn, false, ID_OPERATE_DISPLAY_ON},
            {ID_OPERATE_DISPLAY_ON, &doc.m_bDisplayOn, true, ID_OPERATE_DISPLAY_OFF},
            {ID_VIEW_BLACK_ON_WHITE, &doc.m_bReverseVideo, true, ID_VIEW_WHITE_ON_BLACK},
            {ID_VIEW_WHITE_ON_BLACK, &doc.m_bReverseVideo, false, ID_VIEW_BLACK_ON_WHITE},
            {ID_OPERATE_UPPER_CASE, &doc.m_bUpperCase, false, 0},
            {ID_OPERATE_UPPER_CASE, &doc.m_bUpperCase, true, 0},
            {ID_OPERATE_FULL_DUPLEX, &doc.m_bFullDuplex, false, 0},
            {ID_OPERATE_FULL_DUPLEX, &doc.m_bFullDuplex, true, 0},
            {ID_OPERATE_DIDDLE, &doc.m_bUseDiddle, false, 0},
            {ID_OPERATE_DIDDLE, &doc.m_bUseDiddle, true, 0},
        };
        // The same while receiving and while transmitting.
        for (const bool bTransmitting : {false, true})
        {
            if (bTransmitting)
                f.Choose(ID_OPERATE_TRANSMIT);
            for (const auto& c : commands)
            {
                f.Choose(c.nID);
                QCOMPARE(*c.pFlag, c.bFlag);
                QCOMPARE(f.IsMarked(c.nID), c.nOther != 0 || c.bFlag);
                QVERIFY(c.nOther == 0 || !f.IsMarked(c.nOther));
            }
        }
    }

    void ItemsThatNothingHandlesAreGreyed()
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
    }

    void CtrlLRunsOneHeartbeat()
    {
        CFrameFixture f;
        QVERIFY(f.m_bActive);
        f.Key(Qt::Key_T, Qt::ControlModifier);
        f.Key(Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(f.TakeTxItems().size(), std::size_t(98)); // the lead-in space, 7 columns of 14
        QVERIFY(!f.Doc().m_bTxStarting);
    }

    void PortFromTheProfileIsAPseudoTerminal()
    {
        CPseudoTerminal pty;
        CFrameFixture f(pty.GetSlavePath());
        QCOMPARE(f.Doc().GetPortName(), pty.GetSlavePath());
        for (const int nID : kCommIds)
            QVERIFY(!f.IsMarked(nID));
        // The link runs: receiving, the board is sent "transmitter off".
        QCOMPARE(pty.Read(1, std::chrono::seconds(2)), std::vector<std::uint8_t>{0});

        f.Choose(ID_COMM_DUMMY);
        QCOMPARE(f.Doc().GetPortName(), std::string("DUMMY"));
        QVERIFY(f.IsMarked(ID_COMM_DUMMY));
        QVERIFY(f.m_Host.m_Messages.empty());
    }

    void MissingDevicesMarkNoPort()
    {
        // A stored device that is not there: no message at start-up; it is kept and waited for.
        CFrameFixture f("/dev/skrivel-test-missing");
        QVERIFY(f.m_Host.m_Messages.empty());
        QCOMPARE(f.Doc().GetPortName(), std::string("/dev/skrivel-test-missing"));
        for (const int nID : kCommIds)
            QVERIFY(!f.IsMarked(nID));
        const QLabel* pPort = f.Frame().GetStatusPanes().GetPortLabel();
        QCOMPARE(pPort->text(), QString("/dev/skrivel-test-missing: waiting for the device"));
        QVERIFY(pPort->toolTip().startsWith("There is no device /dev/skrivel-test-missing"));

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
        QCOMPARE(pPort->text(), QString("no port"));
        QVERIFY(pPort->toolTip().isEmpty());
        f.Choose(ID_COMM_DUMMY);
        QVERIFY(f.IsMarked(ID_COMM_DUMMY));
        QCOMPARE(pPort->text(), QString("DUMMY"));
        QCOMPARE(f.m_Host.m_Messages.size(), std::size_t(1));
    }

    void EditedMessageIsInsertedAtTheCaret()
    {
        CFrameFixture f;
        QVERIFY(f.m_bActive);
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
};

QTEST_MAIN(CDocCommandsTest)
#include "DocCommandsTest.moc"
