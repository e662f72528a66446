// The main window as the operator meets it: menus, keys, toolbar, status bar, panes.

#include "FrameFixture.h"
#include "ModalDialogs.h"
#include "link/PseudoTerminal.h"
#include "ui/CommandIds.h"
#include "ui/HelpWindow.h"
#include "ui/PictureBar.h"
#include "ui/SkrivelRxView.h"
#include "ui/StatusPanes.h"

#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QSplitter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <filesystem>
#include <map>
#include <memory>

namespace
{
// A menu as its item texts, separators as "-", a submenu as its title followed by its items in
// brackets.
QStringList Texts(const QMenu* pMenu)
{
    QStringList texts;
    for (const QAction* pAction : pMenu->actions())
    {
        if (pAction->isSeparator())
            texts << QStringLiteral("-");
        else if (pAction->menu() != nullptr)
            texts << pAction->text() + QStringLiteral(" [") + Texts(pAction->menu()).join(QLatin1Char('|')) +
                         QStringLiteral("]");
        else if (pAction->isVisible())
            texts << pAction->text();
    }
    return texts;
}

QMenu* MenuOf(CMainFrame& frame, const QString& strTitle)
{
    for (QAction* pAction : frame.menuBar()->actions())
    {
        if (pAction->text() == strTitle)
            return pAction->menu();
    }
    return nullptr;
}

int IdOf(const CMainFrame& frame, const QAction* pAction)
{
    for (const auto& [nID, pEntry] : frame.GetActions().GetAll())
    {
        if (pEntry == pAction)
            return nID;
    }
    return 0;
}
} // namespace

class CMainFrameTest : public QObject
{
    Q_OBJECT

private slots:
    void MenusShowEveryItemWithItsCaption()
    {
        CFrameFixture f;
        QStringList titles;
        for (const QAction* pAction : f.Frame().menuBar()->actions())
            titles << pAction->text();
        QCOMPARE(titles, QStringList({"&File", "&Edit", "&View", "&Comm", "&Operate", "&Help"}));

        QCOMPARE(Texts(MenuOf(f.Frame(), "&File")),
                 QStringList({"(None of these work...)", "&New\tCtrl+N", "-", "&Load Rx Data\tCtrl+O",
                              "&Save Rx Data\tCtrl+S", "Save Rx Data &As...\tCtrl+A", "-", "Load &Tx Data",
                              "Save Tx Data", "Save Tx Data As...", "-", "&Print Rx Data...\tCtrl+P",
                              "Print Pre&view", "P&rint Setup...", "&Export Picture...", "-", "Recent File", "-",
                              "E&xit"}));
        QCOMPARE(Texts(MenuOf(f.Frame(), "&Edit")),
                 QStringList({"&Undo\tCtrl+Z", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "-",
                              "Clear Rx Screen", "Clear Tx Buffer", "Clear Xmitted Chars",
                              "Unmark Xmitted Chars", "-", "Xmit as Feldhell", "Xmit as Morse", "-",
                              "Transmit Xmit Messages... [Message 1\tAlt+1|Message 2\tAlt+2|Message 3\tAlt+3|"
                              "Message 4\tAlt+4|Message 5\tAlt+5|Message 6\tAlt+6|Message 7\tAlt+7|"
                              "Message 8\tAlt+8|Message 9\tAlt+9]",
                              "Edit Xmit Messages..."}));
        QCOMPARE(Texts(MenuOf(f.Frame(), "&View")),
                 QStringList({"Black on White", "White on Black", "Clear RX Display", "&Toolbar",
                              "&Status Bar", "S&plit", "-", "&Brighter", "&Darker", "More &Contrast",
                              "&Less Contrast", "&Normal Brightness and Contrast",
                              "&Zoom [&100%\tCtrl+0|1&50%|&200%|&300%|-|Zoom &In\tCtrl++|Zoom &Out\tCtrl+-]",
                              "Sl&ant [Raise the &Right Side\tAlt+Up|&Lower the Right Side\tAlt+Down|"
                              "&No Slant Correction]",
                              "P&icture Bar"}));
        QCOMPARE(Texts(MenuOf(f.Frame(), "&Comm")),
                 QStringList({"COM&1", "COM&2", "COM&3", "COM&4", "Dummy port", "&Sound card", "Se&ttings...",
                              "9600", "19200", "38400"}));
        QCOMPARE(Texts(MenuOf(f.Frame(), "&Operate")),
                 QStringList({"T&ransmit\tCtrl+T", "&Receive\tCtrl+R", "&Immediate Receive\tEsc",
                              "Clear Tx Buffer", "Clear Xmitted Chars", "Display On", "Display Off",
                              "Upper Case Xmit", "Full Duplex", "Loop Forever", "Unmark Xmitted Chars",
                              "Diddle", "-", "Feld-Hell", "Slow Hell", "Hell X5", "Hell X9", "FSK Hell 245"}));
        QCOMPARE(Texts(MenuOf(f.Frame(), "&Help")),
                 QStringList({"&Help Topics", "-", "&About Skrivel..."}));

        // The two captions of Clear Rx are one command; the prompts come with the commands.
        const QAction* pViewClear = MenuOf(f.Frame(), "&View")->actions().at(2);
        QCOMPARE(IdOf(f.Frame(), pViewClear), ID_EDIT_CLEAR_RX);
        QCOMPARE(f.Frame().GetAction(ID_VIEW_WHITE_ON_BLACK)->statusTip(),
                 QString("Display received data white on a blcak background"));
    }

    void AcceleratorsReachTheirCommands()
    {
        CFrameFixture f;
        std::map<QString, int> keys;
        for (const QAction* pAction : f.Frame().actions())
        {
            for (const QKeySequence& key : pAction->shortcuts())
            {
                QVERIFY2(keys.count(key.toString()) == 0, qPrintable(key.toString()));
                keys[key.toString()] = IdOf(f.Frame(), pAction);
            }
            QCOMPARE(pAction->shortcutContext(), Qt::WindowShortcut);
        }
        const std::map<QString, int> expected = {
            {"Alt+1", 32821},         {"Alt+2", 32822},  {"Alt+3", 32823},     {"Alt+4", 32824},
            {"Alt+5", 32825},         {"Alt+6", 32826},  {"Alt+7", 32827},     {"Alt+8", 32828},
            {"Alt+9", 32829},         {"Ctrl+C", 57634}, {"Ctrl+Ins", 57634},  {"Ctrl+L", 32818},
            {"Ctrl+N", 57600},        {"Ctrl+O", 57601}, {"Ctrl+P", 57607},    {"Ctrl+R", 32784},
            {"Ctrl+S", 57603},        {"Ctrl+T", 32783}, {"Ctrl+V", 57637},    {"Shift+Ins", 57637},
            {"Alt+Backspace", 57643}, {"Ctrl+Z", 57643}, {"Shift+Del", 57635}, {"Ctrl+X", 57635},
            {"Esc", 32785},           {"F1", 57670},     {"Shift+F1", 57669},  {"F6", 57680},
            {"Shift+F6", 57681},      {"Ctrl+0", 32946}, {"Ctrl++", 32950},    {"Ctrl+=", 32950},
            {"Ctrl+-", 32951},        {"Alt+Up", 32952}, {"Alt+Down", 32953},
        };
        QCOMPARE(keys, expected); // Ctrl+A among them would be a fault: it is only shown beside Save As

        // A key works from either pane.
        QVERIFY(f.m_bActive);
        f.Key(Qt::Key_F6);
        QCOMPARE(QApplication::focusWidget(), f.Frame().GetRxView());
        f.Key(Qt::Key_T, Qt::ControlModifier);
        QVERIFY(f.Doc().m_bTransmitting);
        f.Key(Qt::Key_Escape);
        QVERIFY(!f.Doc().m_bTransmitting);
    }

    void ToolbarHasNineFacesInFourGroupsWithoutTooltips()
    {
        CFrameFixture f;
        QToolBar* pToolBar = f.Frame().GetToolBar();
        QList<int> ids;
        for (const QAction* pAction : pToolBar->actions())
            ids << (pAction->isSeparator() ? 0 : IdOf(f.Frame(), pAction));
        QCOMPARE(ids, QList<int>({32783, 32784, 32785, 0, 32787, 0, 32788, 32789, 32795, 0, 32810, 32809}));
        // Hovering shows the prompt in the message pane and no tooltip.
        QWidget* pButton = pToolBar->widgetForAction(f.Frame().GetAction(ID_OPERATE_RECEIVE));
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), pButton->mapToGlobal(QPoint(5, 5)));
        QVERIFY(QApplication::sendEvent(pButton, &help)); // taken by the toolbar's filter
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), pButton->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(pButton, &enter);
        QCOMPARE(f.Frame().statusBar()->currentMessage(),
                 QString("Stop transmitting when the Tx buffer has emptied"));
        QVERIFY(!f.Frame().GetStatusPanes().GetIdleLabel()->isVisible());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(pButton, &leave);
        QVERIFY(f.Frame().statusBar()->currentMessage().isEmpty());
        QVERIFY(f.Frame().GetStatusPanes().GetIdleLabel()->isVisible());
        QCOMPARE(f.Frame().GetStatusPanes().GetIdleLabel()->text(), QString("For Help, press F1"));
    }

    void StatusPaneFollowsARealTransmission()
    {
        CFrameFixture f("", false);
        CStatusPanes& panes = f.Frame().GetStatusPanes();
        // Sized for its placeholder, which shows until the first update.
        QCOMPARE(panes.GetOperatingStatus(), QString("Tx-Rx Status  ---------------------                "));
        const QLabel* pStatus = panes.GetStatusLabel();
        QVERIFY(pStatus->width() >= pStatus->fontMetrics().horizontalAdvance(pStatus->text()));
        f.Show();
        QCOMPARE(panes.GetOperatingStatus(), QString("Receiving"));

        QVERIFY(f.m_bActive);
        QTest::keyClicks(&f.TxView(), "AB");
        f.Key(Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(panes.GetOperatingStatus(), QString("Transmitting"));
        f.TickOnce(); // the lead-in space
        f.TickOnce(); // A
        f.Key(Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(panes.GetOperatingStatus(), QString("Finishing Transmission"));
        f.TickOnce(); // B
        QCOMPARE(panes.GetOperatingStatus(), QString("Finishing Transmission"));
        // The text is used up: the engine ends the transmission and asks for the update itself.
        f.TickOnce();
        QCOMPARE(panes.GetOperatingStatus(), QString("Receiving"));

        f.Key(Qt::Key_T, Qt::ControlModifier);
        f.TickOnce();
        f.TickOnce(); // nothing left to send: filler
        QCOMPARE(panes.GetOperatingStatus(), QString("Idling"));
        // Text typed while idling goes out, and the pane says so with no command in between.
        QTest::keyClicks(&f.TxView(), "C");
        f.TickOnce();
        QCOMPARE(panes.GetOperatingStatus(), QString("Transmitting"));
        f.Key(Qt::Key_Escape);
        QCOMPARE(panes.GetOperatingStatus(), QString("Receiving"));

        // Samples lost at the receive queue's cap show, by their count, until the picture is
        // cleared.
        const QLabel* pDropped = f.Frame().findChild<QLabel*>("m_pDropped");
        QVERIFY(!pDropped->isVisible());
        for (int i = 0; i < 10000 + 7; ++i)
            f.Doc().GetQueues().AddRx(3);
        f.TickOnce();
        QVERIFY(pDropped->isVisible());
        QCOMPARE(pDropped->text(), QString("7 samples dropped"));
        f.Choose(ID_EDIT_CLEAR_RX);
        QVERIFY(!pDropped->isVisible());
    }

    // The marks and the clipboard commands follow the caret, with no command run in between.
    void TextCommandsFollowTheCaret()
    {
        CFrameFixture f;
        QVERIFY(f.m_bActive);
        QTest::keyClicks(&f.TxView(), "AB");
        QTest::keyClick(&f.TxView(), Qt::Key_Left, Qt::ShiftModifier);
        f.Choose(ID_EDIT_XMIT_MORSE); // B bold
        QAction* pMorse = f.Frame().GetAction(ID_EDIT_XMIT_MORSE);
        QAction* pCopy = f.Frame().GetAction(ID_EDIT_COPY);
        QTest::keyClick(&f.TxView(), Qt::Key_Home);
        QTest::keyClick(&f.TxView(), Qt::Key_Right, Qt::ShiftModifier);
        QVERIFY(!pMorse->isChecked());
        QVERIFY(pCopy->isEnabled());
        QTest::keyClick(&f.TxView(), Qt::Key_End);
        QTest::keyClick(&f.TxView(), Qt::Key_Left, Qt::ShiftModifier);
        QVERIFY(pMorse->isChecked());
        QTest::keyClick(&f.TxView(), Qt::Key_End);
        QVERIFY(!pCopy->isEnabled());
    }

    // Keys typed while the picture has the focus go to the text, which takes the focus back.
    void TypingAfterAClickOnThePictureGoesToTheText()
    {
        CFrameFixture f;
        QVERIFY(f.m_bActive);
        QTest::keyClicks(&f.TxView(), "CQ");
        QTest::mouseClick(f.Frame().GetRxView()->viewport(), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), f.Frame().GetRxView());
        QTest::keyClicks(QApplication::focusWidget(), " DE");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        QCOMPARE(f.TxView().toPlainText(), QString("CQ D"));
        QCOMPARE(QApplication::focusWidget(), &f.TxView());
        QCOMPARE(f.Frame().GetActivePane(), &f.TxView());
        // Scrolling keys stay with the picture.
        f.Key(Qt::Key_F6);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
        QCOMPARE(QApplication::focusWidget(), f.Frame().GetRxView());
    }

    void PortPaneShowsALostBoardWithinTheHeartbeatAndItsReturn()
    {
        QTemporaryDir dir;
        const std::string strPort = dir.filePath("board").toStdString();
        auto pBoard = std::make_unique<CPseudoTerminal>();
        std::filesystem::create_symlink(pBoard->GetSlavePath(), strPort);
        CFrameFixture f(strPort);
        const QLabel* pPort = f.Frame().GetStatusPanes().GetPortLabel();
        // Only the heartbeat runs, as while the operator watches the picture: no command, no menu.
        const auto showsWithTheHeartbeat = [&](const std::string& strText)
        {
            return QTest::qWaitFor(
                [&]
                {
                    f.Doc().Tick();
                    return pPort->text() == QString::fromStdString(strText);
                },
                5000);
        };
        QVERIFY(showsWithTheHeartbeat(strPort));

        pBoard->CloseMaster();
        QVERIFY(showsWithTheHeartbeat(strPort + ": lost"));

        // The board starts again under the same name.
        pBoard = std::make_unique<CPseudoTerminal>();
        std::filesystem::remove(strPort);
        std::filesystem::create_symlink(pBoard->GetSlavePath(), strPort);
        QVERIFY(showsWithTheHeartbeat(strPort));
        QVERIFY(pPort->toolTip().isEmpty());
    }

    void ViewCommandsFollowTheActivePane()
    {
        CFrameFixture f;
        QVERIFY(f.m_bActive);
        // The transmit pane starts active, with the focus.
        QCOMPARE(f.Frame().GetActivePane(), &f.TxView());
        QCOMPARE(QApplication::focusWidget(), &f.TxView());
        QTest::keyClicks(&f.TxView(), "CQ");
        f.TxView().selectAll();

        for (const int nID :
             {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_OPERATE_LOOP_FOREVER, ID_EDIT_MESSAGE1})
            QVERIFY2(f.IsEnabled(nID), qPrintable(QString::number(nID)));

        f.Key(Qt::Key_F6);
        QCOMPARE(f.Frame().GetActivePane(), f.Frame().GetRxView());
        QCOMPARE(QApplication::focusWidget(), f.Frame().GetRxView());
        for (const int nID : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_OPERATE_LOOP_FOREVER,
                              ID_EDIT_CLEAR_XMITTED, ID_EDIT_UNMARK_XMITTED, ID_EDIT_XMIT_FELDHELL,
                              ID_EDIT_XMIT_MORSE, ID_EDIT_MESSAGE1, ID_EDIT_MESSAGE1 + 8})
            QVERIFY2(!f.IsEnabled(nID), qPrintable(QString::number(nID)));
        // The document's and the frame's commands stay.
        QVERIFY(f.IsEnabled(ID_OPERATE_TRANSMIT));
        QVERIFY(f.IsEnabled(ID_FILE_PRINT));

        f.Key(Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), &f.TxView());
        QVERIFY(f.IsEnabled(ID_EDIT_COPY));

        // Clicking into a pane makes it the active one.
        QTest::mouseClick(f.Frame().GetRxView()->viewport(), Qt::LeftButton);
        QCOMPARE(f.Frame().GetActivePane(), f.Frame().GetRxView());
    }

    void BarsShowAndHideWithACheckMark()
    {
        CFrameFixture f;
        for (const auto& [nID, pBar] : {std::pair<int, QWidget*>{ID_VIEW_TOOLBAR, f.Frame().GetToolBar()},
                                        {ID_VIEW_STATUS_BAR, f.Frame().statusBar()},
                                        {ID_VIEW_PICTURE_BAR, f.Frame().GetPictureBar()}})
        {
            QVERIFY(f.IsMarked(nID) && !pBar->isHidden());
            f.Choose(nID);
            QVERIFY(!f.IsMarked(nID) && pBar->isHidden());
            f.Choose(nID);
            QVERIFY(f.IsMarked(nID) && !pBar->isHidden());
        }
    }

    void SplitMovesTheBarFromTheKeyboard()
    {
        CFrameFixture f;
        QVERIFY(f.m_bActive);
        QSplitter* pSplitter = f.Frame().GetSplitter();
        const int nTop = pSplitter->sizes().at(0);
        QCOMPARE(nTop, 60);

        f.Choose(ID_WINDOW_SPLIT);
        f.Key(Qt::Key_Down);
        f.Key(Qt::Key_Down);
        f.Key(Qt::Key_Up, Qt::ControlModifier);
        f.Key(Qt::Key_Return);
        QCOMPARE(pSplitter->sizes().at(0), nTop + 15);

        // Esc puts the bar back, and does not stop a transmission on its way.
        f.Doc().OnTransmit();
        f.Choose(ID_WINDOW_SPLIT);
        f.Key(Qt::Key_Down);
        f.Key(Qt::Key_Escape);
        QCOMPARE(pSplitter->sizes().at(0), nTop + 15);
        QVERIFY(f.Doc().m_bTransmitting);
        // Keys are the window's again.
        f.Key(Qt::Key_Escape);
        QVERIFY(!f.Doc().m_bTransmitting);
    }

    void HelpTopicsAndTheHelpKeysOpenTheManualInOneWindow()
    {
        CFrameFixture f;
        QVERIFY(f.m_bActive);
        f.Choose(ID_HELP_FINDER);
        QList<CHelpWindow*> windows = f.Frame().findChildren<CHelpWindow*>();
        QCOMPARE(windows.size(), 1);
        CHelpWindow* pHelp = windows.constFirst();
        QVERIFY(pHelp->isVisible() && pHelp->isWindow());
        QCOMPARE(pHelp->windowTitle(), QString("Skrivel Help"));
        QCOMPARE(pHelp->GetBrowser()->documentTitle(), QString("Skrivel user manual"));
        // The build puts the manual beside the program, as the package puts it in its share folder.
        QCOMPARE(pHelp->GetBrowser()->source().toLocalFile(),
                 QFileInfo(QCoreApplication::applicationDirPath() + "/manual/manual.html").canonicalFilePath());

        // Closed, F1 brings the same window back; Shift+F1 too.
        for (const Qt::KeyboardModifier modifier : {Qt::NoModifier, Qt::ShiftModifier})
        {
            pHelp->close();
            f.Show();
            f.Key(Qt::Key_F1, modifier);
            QVERIFY(pHelp->isVisible());
        }
        QCOMPARE(f.Frame().findChildren<CHelpWindow*>().size(), 1);
        QVERIFY(f.m_Host.m_Messages.empty());
    }

    void ManualCoversTheWindowTheCommandsTheSettingsTheBoardAndTheStation()
    {
        QFile file(CHelpWindow::FindManual());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString strManual = QString::fromUtf8(file.readAll());
        QStringList anchors;
        for (const QRegularExpressionMatch& match :
             QRegularExpression("<a name=\"([a-z]+)\"").globalMatch(strManual))
            anchors << match.captured(1);
        for (const char* pszSection : {"window", "commands", "settings", "board", "soundcard"})
            QVERIFY2(anchors.contains(pszSection), pszSection);
        // Every link inside the manual leads to a section, and every picture is there.
        for (const QRegularExpressionMatch& match : QRegularExpression("href=\"#([^\"]*)\"").globalMatch(strManual))
            QVERIFY2(anchors.contains(match.captured(1)), qPrintable(match.captured(1)));
        for (const QRegularExpressionMatch& match : QRegularExpression("<img src=\"([^\"]*)\"").globalMatch(strManual))
            QVERIFY2(QFileInfo(QFileInfo(file).dir(), match.captured(1)).isFile(), qPrintable(match.captured(1)));
    }

    void PrintCommandsPrintTheActivePane()
    {
        QTemporaryDir dir;
        CFrameFixture f;
        QPrinter& printer = f.Frame().GetPrinter();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("tx.pdf"));
        QTest::keyClicks(&f.TxView(), "CQ CQ");

        WhenModal<QPrintDialog>([](QPrintDialog& dialog) { static_cast<QDialog&>(dialog).accept(); });
        f.Choose(ID_FILE_PRINT);
        QVERIFY(QFileInfo(dir.filePath("tx.pdf")).size() > 0);

        // The preview shows the active pane's pages, first the transmit text, then the picture;
        // the picture prints through the same dialog.
        for (const bool bRxPane : {false, true})
        {
            if (bRxPane)
            {
                f.Key(Qt::Key_F6);
                printer.setOutputFileName(dir.filePath("rx.pdf"));
                WhenModal<QPrintDialog>([](QPrintDialog& dialog) { static_cast<QDialog&>(dialog).accept(); });
                f.Choose(ID_FILE_PRINT);
                QVERIFY(QFileInfo(dir.filePath("rx.pdf")).size() > 0);
            }
            int nPages = 0;
            WhenModal<QPrintPreviewDialog>(
                [&nPages](QPrintPreviewDialog& dialog)
                {
                    nPages = dialog.findChild<QPrintPreviewWidget*>()->pageCount();
                    dialog.reject();
                });
            f.Choose(ID_FILE_PRINT_PREVIEW);
            QVERIFY(nPages >= 1);
        }

        bool bSetUp = false;
        WhenModal<QPageSetupDialog>(
            [&bSetUp](QPageSetupDialog& dialog)
            {
                bSetUp = true;
                dialog.reject();
            });
        f.Choose(ID_FILE_PRINT_SETUP);
        QVERIFY(bSetUp);
    }
};

QTEST_MAIN(CMainFrameTest)
#include "MainFrameTest.moc"
