#include "MemoryProfile.h"
#include "RecordingHost.h"

#include "doc/SkrivelDoc.h"
#include "ui/CommandIds.h"
#include "ui/SkrivelTxView.h"
#include "ui/SkrivelXmitMessage.h"
#include "ui/SkrivelXmitMessageSheet.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <array>
#include <functional>
#include <string>

class XmitMessageSheetTest : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void sheetHasNinePagesAndNoApply();
    void cancelAndCloseBoxChangeNothing();
    void okTakesEveryPage();
    void enterClosesAsOk();
    void ctrlAndShiftEnterStoreCrLf();

private:
    using OperatorFn = std::function<void(CSkrivelXmitMessageSheet&)>;
    // Runs the command; fnOperator plays the operator once the sheet is up.
    bool Edit(const OperatorFn& fnOperator);
    static QPlainTextEdit& Box(CSkrivelXmitMessageSheet& sheet, int nPage);
    static void Press(CSkrivelXmitMessageSheet& sheet, QDialogButtonBox::StandardButton button);

    CMemoryProfile m_Profile;
    CRecordingHost m_Host;
    CSkrivelDoc m_Doc{m_Profile, m_Host};
    std::array<std::string, CSkrivelDoc::kXmitMessages> m_Original;
};

void XmitMessageSheetTest::init()
{
    for (int i = 0; i < CSkrivelDoc::kXmitMessages; ++i)
        m_Doc.m_strXmitMessages[i] = "message " + std::to_string(i + 1);
    m_Doc.m_strXmitMessages[6] = "two\r\nlines";
    m_Doc.m_strXmitMessages[8].clear();
    m_Original = m_Doc.m_strXmitMessages;
}

bool XmitMessageSheetTest::Edit(const OperatorFn& fnOperator)
{
    bool bRan = false;
    QTimer::singleShot(0, this,
                       [&]
                       {
                           auto* pSheet =
                               qobject_cast<CSkrivelXmitMessageSheet*>(QApplication::activeModalWidget());
                           if (pSheet == nullptr)
                               return;
                           bRan = true;
                           fnOperator(*pSheet);
                           if (pSheet->isVisible())
                           {
                               bRan = false; // the operator did not close it
                               pSheet->reject();
                           }
                       });
    const bool bOK = CSkrivelXmitMessageSheet::EditXmitMessages(m_Doc, nullptr);
    if (!bRan)
        qWarning("the sheet did not close as the operator asked");
    return bOK && bRan;
}

QPlainTextEdit& XmitMessageSheetTest::Box(CSkrivelXmitMessageSheet& sheet, int nPage)
{
    return *sheet.GetPage(nPage).GetEdit();
}

void XmitMessageSheetTest::Press(CSkrivelXmitMessageSheet& sheet, QDialogButtonBox::StandardButton button)
{
    sheet.findChild<QDialogButtonBox*>()->button(button)->click();
}

void XmitMessageSheetTest::sheetHasNinePagesAndNoApply()
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

void XmitMessageSheetTest::cancelAndCloseBoxChangeNothing()
{
    QVERIFY(!Edit(
        [](CSkrivelXmitMessageSheet& sheet)
        {
            sheet.findChild<QTabWidget*>()->setCurrentIndex(3);
            QTest::keyClicks(&Box(sheet, 3), "changed");
            Press(sheet, QDialogButtonBox::Cancel);
        }));
    QVERIFY(m_Doc.m_strXmitMessages == m_Original);
    QVERIFY(!Edit(
        [](CSkrivelXmitMessageSheet& sheet)
        {
            QTest::keyClicks(&Box(sheet, 3), "changed");
            sheet.close();
        }));
    QVERIFY(m_Doc.m_strXmitMessages == m_Original);
}

void XmitMessageSheetTest::okTakesEveryPage()
{
    int nLinesOfSeven = 0;
    QVERIFY(Edit(
        [&](CSkrivelXmitMessageSheet& sheet)
        {
            sheet.findChild<QTabWidget*>()->setCurrentIndex(3);
            Box(sheet, 3).selectAll();
            QTest::keyClicks(&Box(sheet, 3), "NEW 4");
            nLinesOfSeven = Box(sheet, 6).document()->blockCount();
            Press(sheet, QDialogButtonBox::Ok);
        }));
    QCOMPARE(nLinesOfSeven, 2);
    std::array<std::string, CSkrivelDoc::kXmitMessages> expected = m_Original;
    expected[3] = "NEW 4";
    QVERIFY(m_Doc.m_strXmitMessages == expected);

    // The new text is what Message 4 inserts.
    CSkrivelTxView view(m_Doc);
    QVERIFY(view.OnCmdMsg(ID_EDIT_MESSAGE1 + 3, nullptr));
    QCOMPARE(view.toPlainText(), QString("NEW 4"));
}

void XmitMessageSheetTest::enterClosesAsOk()
{
    QVERIFY(Edit(
        [](CSkrivelXmitMessageSheet& sheet)
        {
            Box(sheet, 0).clear();
            QTest::keyClicks(&Box(sheet, 0), "CQ");
            QTest::keyClick(&Box(sheet, 0), Qt::Key_Return);
        }));
    QCOMPARE(m_Doc.m_strXmitMessages[0], std::string("CQ"));
    QCOMPARE(m_Doc.m_strXmitMessages[6], m_Original[6]);
}

void XmitMessageSheetTest::ctrlAndShiftEnterStoreCrLf()
{
    QVERIFY(Edit(
        [](CSkrivelXmitMessageSheet& sheet)
        {
            QPlainTextEdit& box = Box(sheet, 0);
            box.clear();
            QTest::keyClicks(&box, "A");
            QTest::keyClick(&box, Qt::Key_Return, Qt::ControlModifier);
            QTest::keyClicks(&box, "B");
            QTest::keyClick(&box, Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier);
            QTest::keyClicks(&box, "C");
            QTest::keyClick(&box, Qt::Key_Enter, Qt::KeypadModifier);
        }));
    QCOMPARE(m_Doc.m_strXmitMessages[0], std::string("A\r\nB\r\nC"));
}

QTEST_MAIN(XmitMessageSheetTest)
#include "XmitMessageSheetTest.moc"
