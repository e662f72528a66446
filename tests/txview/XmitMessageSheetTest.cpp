#include "../ui/ModalDialogs.h"
#include "MemoryProfile.h"
#include "RecordingHost.h"

#include "doc/SkrivelDoc.h"
#include "ui/SkrivelXmitMessage.h"
#include "ui/SkrivelXmitMessageSheet.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <array>
#include <functional>
#include <string>

class XmitMessageSheetTest : public QObject
{
    Q_OBJECT

    using Messages = std::array<std::string, CSkrivelDoc::kXmitMessages>;

    // Runs the command; fnOperator plays the operator once the sheet is up and must close it.
    bool Edit(const std::function<void(CSkrivelXmitMessageSheet&)>& fnOperator)
    {
        bool bClosed = false;
        WhenModal<CSkrivelXmitMessageSheet>(
            [&](CSkrivelXmitMessageSheet& sheet)
            {
                fnOperator(sheet);
                bClosed = !sheet.isVisible();
                if (!bClosed)
                    sheet.reject();
            });
        const bool bOK = CSkrivelXmitMessageSheet::EditXmitMessages(m_Doc, nullptr);
        if (!bClosed)
            qWarning("the sheet did not close as the operator asked");
        return bOK && bClosed;
    }
    static QPlainTextEdit& Box(CSkrivelXmitMessageSheet& sheet, int nPage)
    {
        return *sheet.GetPage(nPage).GetEdit();
    }
    static void Press(CSkrivelXmitMessageSheet& sheet, QDialogButtonBox::StandardButton button)
    {
        sheet.findChild<QDialogButtonBox*>()->button(button)->click();
    }

    CMemoryProfile m_Profile;
    CRecordingHost m_Host;
    CSkrivelDoc m_Doc{m_Profile, m_Host};
    Messages m_Original;

private slots:
    void init()
    {
        for (int i = 0; i < CSkrivelDoc::kXmitMessages; ++i)
            m_Doc.m_strXmitMessages[i] = "message " + std::to_string(i + 1);
        m_Doc.m_strXmitMessages[6] = "two\r\nlines";
        m_Doc.m_strXmitMessages[8].clear();
        m_Original = m_Doc.m_strXmitMessages;
    }

    void sheetHasNinePagesAndNoApply()
    {
        CSkrivelXmitMessageSheet sheet("Transmit Messages", nullptr, 2, 9);
        QCOMPARE(sheet.windowTitle(), QString("Transmit Messages"));
        const auto* pTabs = sheet.findChild<QTabWidget*>();
        QCOMPARE(pTabs->count(), 9);
        QCOMPARE(pTabs->tabText(0), QString("Message 1"));
        QCOMPARE(pTabs->tabText(8), QString("Message 9"));
        QCOMPARE(pTabs->currentIndex(), 2);
        QCOMPARE(sheet.findChild<QDialogButtonBox*>()->buttons().size(), 2);
    }

    void cancelAndCloseBoxChangeNothing()
    {
        for (const bool bCancel : {true, false})
        {
            QVERIFY(!Edit(
                [bCancel](CSkrivelXmitMessageSheet& sheet)
                {
                    sheet.findChild<QTabWidget*>()->setCurrentIndex(3);
                    QTest::keyClicks(&Box(sheet, 3), "changed");
                    bCancel ? Press(sheet, QDialogButtonBox::Cancel) : void(sheet.close());
                }));
            QVERIFY(m_Doc.m_strXmitMessages == m_Original);
        }
    }

    // OK, here pressed as Enter, takes every page; Ctrl+Enter and Shift+Enter start a new line, stored
    // as CR LF.
    void okTakesEveryPage()
    {
        int nLinesOfSeven = 0;
        QVERIFY(Edit(
            [&](CSkrivelXmitMessageSheet& sheet)
            {
                sheet.findChild<QTabWidget*>()->setCurrentIndex(3);
                Box(sheet, 3).selectAll();
                QTest::keyClicks(&Box(sheet, 3), "NEW 4");
                nLinesOfSeven = Box(sheet, 6).document()->blockCount();
                sheet.findChild<QTabWidget*>()->setCurrentIndex(0);
                QPlainTextEdit& box = Box(sheet, 0);
                box.clear();
                QTest::keyClicks(&box, "A");
                QTest::keyClick(&box, Qt::Key_Return, Qt::ControlModifier);
                QTest::keyClicks(&box, "B");
                QTest::keyClick(&box, Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier);
                QTest::keyClicks(&box, "C");
                QTest::keyClick(&box, Qt::Key_Return);
            }));
        QCOMPARE(nLinesOfSeven, 2);
        Messages expected = m_Original;
        expected[0] = "A\r\nB\r\nC";
        expected[3] = "NEW 4";
        QVERIFY(m_Doc.m_strXmitMessages == expected);
    }
};

QTEST_MAIN(XmitMessageSheetTest)
#include "XmitMessageSheetTest.moc"
