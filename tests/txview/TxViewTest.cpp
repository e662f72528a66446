#include "MemoryProfile.h"
#include "RecordingHost.h"

#include "doc/SkrivelDoc.h"
#include "ui/CmdUI.h"
#include "ui/CommandIds.h"
#include "ui/Cp1252.h"
#include "ui/SkrivelTxView.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

namespace
{
struct SXmitChar
{
    int ch = -1;
    bool morse = false;
};

// Drops text (or, with a file, a link to it) at character nPos, as a drag would: enter, then drop.
void DropAt(CSkrivelTxView& view, int nPos, const QString& strText, const QString& strFile = {})
{
    QMimeData mime;
    mime.setText(strText);
    if (!strFile.isEmpty())
        mime.setUrls({QUrl::fromLocalFile(strFile)});
    QTextCursor cursor(view.document());
    cursor.setPosition(nPos);
    const QPoint pos = view.cursorRect(cursor).center();
    QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &enter);
    QDropEvent drop(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &drop);
}

// Opens the view's context menu and picks the item strText from it.
void PickFromContextMenu(CSkrivelTxView& view, const QString& strText)
{
    QTimer::singleShot(0, &view,
                       [strText]
                       {
                           QWidget* pPopup = QApplication::activePopupWidget();
                           for (QAction* pAction : pPopup->actions())
                           {
                               if (pAction->text() == strText)
                                   pAction->trigger();
                           }
                           pPopup->close();
                       });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), view.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(view.viewport(), &event);
}
} // namespace

// An operator edit, made with a given selection.
using EditFn = std::function<void(CSkrivelTxView&)>;
Q_DECLARE_METATYPE(EditFn)

class TxViewTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void refusesEditsOfSentText_data();
    void refusesEditsOfSentText();
    void typingAfterSentTextIsFree();
    void sentTextIsPaintedRed();
    void undoAfterSendingKeepsSentText();
    void undoAndRedoCannotReformatSentText();
    void fileDropsAreIgnored();

    void boldGoesOutAsMorseThenNothing();
    void loopForeverWrapsButNotOnEmptyText();
    void selectionIsPushedPastSentCharacter();
    void shrunkTextClampsPosition();
    void charactersGoOutAsCp1252();

    void clearXmittedShiftsSelection();
    void unmarkXmitted();
    void xmitAsRadioMarks();
    void cannedMessageIsUndoableInsertion();
    void clearUnsentText();
    void editCommandsFollowEditor();
    void printsToPdf();

    void cp1252Codes();

private:
    CSkrivelTxView& View() { return *m_pView; }
    QString Text() const { return m_pView->toPlainText(); }
    void Select(int nAnchor, int nPosition);
    void Type(const QString& strText) { QTest::keyClicks(m_pView.get(), strText); }
    SXmitChar Send();
    void Command(int nID) { QVERIFY(m_pView->OnCmdMsg(nID, nullptr)); }
    CCmdUI State(int nID);
    int MarkedLength() const;
    bool IsBoldAt(int nPos);
    // "ABCDEF" with B bold, A B C sent, the caret at the end.
    void PrepareSentText();

    CMemoryProfile m_Profile;
    CRecordingHost m_Host;
    std::unique_ptr<CSkrivelDoc> m_pDoc;
    std::unique_ptr<CSkrivelTxView> m_pView;
};

void TxViewTest::init()
{
    m_pDoc = std::make_unique<CSkrivelDoc>(m_Profile, m_Host);
    m_pView = std::make_unique<CSkrivelTxView>(*m_pDoc);
    m_pView->resize(400, 200);
    m_pView->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pView.get()));
    QApplication::clipboard()->clear();
}

void TxViewTest::cleanup()
{
    m_pView.reset();
    m_pDoc.reset();
}

void TxViewTest::Select(int nAnchor, int nPosition)
{
    QTextCursor cursor(m_pView->document());
    cursor.setPosition(nAnchor);
    cursor.setPosition(nPosition, QTextCursor::KeepAnchor);
    m_pView->setTextCursor(cursor);
}

SXmitChar TxViewTest::Send()
{
    SXmitChar sent;
    m_pView->GetNextXmitChar(sent.ch, sent.morse);
    return sent;
}

CCmdUI TxViewTest::State(int nID)
{
    CCmdUI cmdUI;
    if (!m_pView->OnCmdMsg(nID, &cmdUI))
        qFatal("command %d not handled", nID);
    return cmdUI;
}

int TxViewTest::MarkedLength() const
{
    int nLength = 0;
    for (const QTextEdit::ExtraSelection& mark : m_pView->extraSelections())
    {
        if (mark.format.foreground().color() == QColor(255, 0, 0))
            nLength += mark.cursor.selectionEnd() - mark.cursor.selectionStart();
    }
    return nLength;
}

bool TxViewTest::IsBoldAt(int nPos)
{
    QTextCursor cursor(m_pView->document());
    cursor.setPosition(nPos + 1);
    return cursor.charFormat().fontWeight() > QFont::Normal;
}

void TxViewTest::PrepareSentText()
{
    Type("ABCDEF");
    Select(1, 2);
    Command(ID_EDIT_XMIT_MORSE);
    Select(6, 6);
    QCOMPARE(Send().ch, 'A');
    QCOMPARE(Send().ch, 'B');
    QCOMPARE(Send().ch, 'C');
}

// ---- Protection of sent text ---------------------------------------------------------------------

void TxViewTest::refusesEditsOfSentText_data()
{
    QTest::addColumn<int>("nAnchor");
    QTest::addColumn<int>("nPosition");
    QTest::addColumn<EditFn>("edit");
    const auto key = [](Qt::Key nKey, Qt::KeyboardModifiers modifiers = {})
    { return EditFn([=](CSkrivelTxView& v) { QTest::keyClick(&v, nKey, modifiers); }); };
    const auto command = [](int nID) { return EditFn([=](CSkrivelTxView& v) { v.OnCmdMsg(nID, nullptr); }); };
    const auto commit = [](int nFrom, int nLength)
    {
        return EditFn(
            [=](CSkrivelTxView& v)
            {
                QInputMethodEvent event;
                event.setCommitString("x", nFrom, nLength);
                QApplication::sendEvent(&v, &event);
            });
    };
    QTest::newRow("typing over") << 2 << 4 << key(Qt::Key_X);
    QTest::newRow("enter over") << 1 << 4 << key(Qt::Key_Return);
    QTest::newRow("backspace at boundary") << 3 << 3 << key(Qt::Key_Backspace);
    QTest::newRow("ctrl+backspace at boundary") << 3 << 3 << key(Qt::Key_Backspace, Qt::ControlModifier);
    QTest::newRow("delete on sent") << 1 << 1 << key(Qt::Key_Delete);
    QTest::newRow("cut key") << 1 << 4 << key(Qt::Key_X, Qt::ControlModifier);
    QTest::newRow("cut command") << 2 << 5 << command(ID_EDIT_CUT);
    QTest::newRow("paste key over") << 2 << 4 << key(Qt::Key_V, Qt::ControlModifier);
    QTest::newRow("paste command inside") << 1 << 1 << command(ID_EDIT_PASTE);
    QTest::newRow("text dropped inside")
        << 6 << 6 << EditFn([](CSkrivelTxView& v) { DropAt(v, 1, "dropped"); });
    QTest::newRow("input method replacing") << 3 << 3 << commit(-1, 1);
    QTest::newRow("input method inside") << 1 << 1 << commit(0, 0);
    QTest::newRow("morse on sent") << 2 << 5 << command(ID_EDIT_XMIT_MORSE);
    QTest::newRow("feldhell on sent bold") << 0 << 4 << command(ID_EDIT_XMIT_FELDHELL);
    QTest::newRow("context menu undo")
        << 6 << 6 << EditFn([](CSkrivelTxView& v) { PickFromContextMenu(v, "&Undo"); });
    QTest::newRow("context menu delete")
        << 1 << 4 << EditFn([](CSkrivelTxView& v) { PickFromContextMenu(v, "Delete"); });
    QTest::newRow("message over") << 2 << 4 << command(ID_EDIT_MESSAGE1);
}

void TxViewTest::refusesEditsOfSentText()
{
    QFETCH(int, nAnchor);
    QFETCH(int, nPosition);
    QFETCH(EditFn, edit);
    m_pDoc->m_strXmitMessages[0] = "QRZ";
    PrepareSentText();
    QApplication::clipboard()->setText("clip");
    const QString strHtml = View().toHtml();

    Select(nAnchor, nPosition);
    edit(View());

    QCOMPARE(Text(), QString("ABCDEF"));
    QCOMPARE(View().toHtml(), strHtml); // B still bold, C still plain
    QCOMPARE(View().GetXmitPos(), 3);
    QCOMPARE(MarkedLength(), 3);
    QCOMPARE(QApplication::clipboard()->text(), QString("clip")); // a refused cut copies nothing
}

void TxViewTest::typingAfterSentTextIsFree()
{
    PrepareSentText();
    Select(3, 3);
    Type("xy");
    QCOMPARE(Text(), QString("ABCxyDEF"));
    QCOMPARE(MarkedLength(), 3);
    QTest::keyClick(&View(), Qt::Key_Backspace);
    QCOMPARE(Text(), QString("ABCxDEF"));
    QCOMPARE(View().GetXmitPos(), 3);
    QCOMPARE(Send().ch, 'x');

    // Paste, drop and the caret's format right after the sent text are free as well.
    QApplication::clipboard()->setText("p");
    Select(4, 4);
    Command(ID_EDIT_PASTE);
    QCOMPARE(Text(), QString("ABCxpDEF"));
    Select(4, 7);
    Command(ID_EDIT_XMIT_MORSE);
    QVERIFY(IsBoldAt(4) && IsBoldAt(6));
    Select(4, 5);
    QTest::keyClick(&View(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(Text(), QString("ABCxDEF"));
    QCOMPARE(QApplication::clipboard()->text(), QString("p"));
}

void TxViewTest::sentTextIsPaintedRed()
{
    Type("MMMM");
    Send();
    Send();
    const QImage image = View().viewport()->grab().toImage();
    QTextCursor cursor(View().document());
    const auto countInk = [&](int nPos, bool bRed)
    {
        cursor.setPosition(nPos);
        const QRect left = View().cursorRect(cursor);
        cursor.setPosition(nPos + 2);
        int nCount = 0;
        for (int y = left.top(); y <= left.bottom(); ++y)
        {
            for (int x = left.left(); x < View().cursorRect(cursor).left(); ++x)
            {
                const QColor pixel = image.pixelColor(x, y);
                nCount += bRed ? pixel.red() > 150 && pixel.green() < 100 : pixel.lightness() < 100;
            }
        }
        return nCount;
    };
    QVERIFY(countInk(0, true) > 20);
    QCOMPARE(countInk(0, false), 0);
    QCOMPARE(countInk(2, true), 0);
    QVERIFY(countInk(2, false) > 20);
}

void TxViewTest::undoAfterSendingKeepsSentText()
{
    Type("ab");
    QCOMPARE(Send().ch, 'a');
    QTest::keyClick(&View(), Qt::Key_Z, Qt::ControlModifier); // takes the unsent b
    QCOMPARE(Text(), QString("a"));
    QTest::keyClick(&View(), Qt::Key_Z, Qt::ControlModifier); // would take the sent a
    QCOMPARE(Text(), QString("a"));
    Command(ID_EDIT_UNDO);
    QCOMPARE(Text(), QString("a"));
    QCOMPARE(View().GetXmitPos(), 1);
    QCOMPARE(MarkedLength(), 1);
    QCOMPARE(Send().ch, -1);
}

void TxViewTest::undoAndRedoCannotReformatSentText()
{
    Type("ab");
    Select(0, 2);
    Command(ID_EDIT_XMIT_MORSE);
    Select(2, 2);
    Send();
    const QString strBold = View().toHtml();
    QTest::keyClick(&View(), Qt::Key_Z, Qt::ControlModifier); // would make the sent a plain again
    QCOMPARE(View().toHtml(), strBold);

    // Undone before sending, the bold cannot be redone onto sent text.
    Command(ID_EDIT_UNMARK_XMITTED);
    QTest::keyClick(&View(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!IsBoldAt(0));
    Send();
    const QString strPlain = View().toHtml();
    QTest::keyClick(&View(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(View().toHtml(), strPlain);
    QCOMPARE(Text(), QString("ab"));
}

void TxViewTest::fileDropsAreIgnored()
{
    Type("ab");
    DropAt(View(), 2, "/etc/hostname", "/etc/hostname");
    QCOMPARE(Text(), QString("ab"));
    DropAt(View(), 2, "cd");
    QCOMPARE(Text(), QString("abcd"));
}

// ---- Handing out characters ----------------------------------------------------------------------

void TxViewTest::boldGoesOutAsMorseThenNothing()
{
    Type("AB");
    Select(0, 1);
    Command(ID_EDIT_XMIT_MORSE);
    Select(2, 2);
    SXmitChar sent = Send();
    QCOMPARE(sent.ch, 'A');
    QVERIFY(sent.morse);
    QCOMPARE(MarkedLength(), 1);
    sent = Send();
    QCOMPARE(sent.ch, 'B');
    QVERIFY(!sent.morse);
    sent = Send();
    QCOMPARE(sent.ch, -1);
    QVERIFY(!sent.morse);
    QCOMPARE(View().GetXmitPos(), 2);
    QCOMPARE(MarkedLength(), 2);
}

void TxViewTest::loopForeverWrapsButNotOnEmptyText()
{
    Command(ID_OPERATE_LOOP_FOREVER);
    QVERIFY(State(ID_OPERATE_LOOP_FOREVER).m_bChecked);
    QCOMPARE(Send().ch, -1);
    QCOMPARE(View().GetXmitPos(), 0);

    Type("AB");
    Select(0, 1);
    Command(ID_EDIT_XMIT_MORSE);
    Send();
    Send();
    const SXmitChar sent = Send();
    QCOMPARE(sent.ch, 'A');
    QVERIFY(sent.morse);
    QCOMPARE(View().GetXmitPos(), 1);
    QCOMPARE(MarkedLength(), 1);
}

void TxViewTest::selectionIsPushedPastSentCharacter()
{
    Type("AB");
    Select(0, 0);
    Command(ID_EDIT_XMIT_MORSE); // a pending typing format survives the push
    Send();
    QCOMPARE(View().textCursor().position(), 1);
    Type("x");
    QCOMPARE(Text(), QString("AxB"));
    QCOMPARE(MarkedLength(), 1);
    QVERIFY(IsBoldAt(1));
    QVERIFY(View().document()->isUndoAvailable());

    Select(0, 3);
    Send();
    QCOMPARE(View().textCursor().selectionStart(), 2);
    QCOMPARE(View().textCursor().selectionEnd(), 3);
    Select(3, 1);
    Send();
    QCOMPARE(View().textCursor().anchor(), 3);
    QCOMPARE(View().textCursor().position(), 3);
}

void TxViewTest::shrunkTextClampsPosition()
{
    Type("ABC");
    Send();
    Send();
    Send();
    View().setPlainText("A");
    QCOMPARE(Send().ch, -1);
    QCOMPARE(View().GetXmitPos(), 1);
    Command(ID_OPERATE_LOOP_FOREVER);
    View().setPlainText("");
    QCOMPARE(Send().ch, -1);
    QCOMPARE(View().GetXmitPos(), 0);
    View().setPlainText("Z");
    QCOMPARE(Send().ch, 'Z');
    QCOMPARE(Send().ch, 'Z');
}

void TxViewTest::charactersGoOutAsCp1252()
{
    View().insertPlainText(QString::fromUtf8("é€\n中😀!"));
    QCOMPARE(Send().ch, 233);
    QCOMPARE(Send().ch, 128);
    QCOMPARE(Send().ch, 13);
    QCOMPARE(Send().ch, '?');
    QCOMPARE(Send().ch, '?'); // one character, two code units
    QCOMPARE(View().GetXmitPos(), 6);
    QCOMPARE(MarkedLength(), 6);
    QCOMPARE(Send().ch, '!');
}

// ---- Commands --------------------------------------------------------------------------------

void TxViewTest::clearXmittedShiftsSelection()
{
    Type("ABCDEFGHIJ");
    Send();
    Send();
    Send();
    Command(ID_OPERATE_LOOP_FOREVER);
    Select(5, 9);
    Command(ID_EDIT_CLEAR_XMITTED);
    QCOMPARE(Text(), QString("DEFGHIJ"));
    QCOMPARE(View().textCursor().anchor(), 2);
    QCOMPARE(View().textCursor().position(), 6);
    QCOMPARE(View().GetXmitPos(), 0);
    QVERIFY(!View().IsLoopForever());
    QCOMPARE(MarkedLength(), 0);
    QVERIFY(!View().document()->isUndoAvailable()); // undo would send the cleared text again

    Send();
    Send();
    Select(1, 2);
    Command(ID_EDIT_CLEAR_XMITTED);
    QCOMPARE(Text(), QString("FGHIJ"));
    QCOMPARE(View().textCursor().anchor(), 0);
    QCOMPARE(View().textCursor().position(), 0);
}

void TxViewTest::unmarkXmitted()
{
    Type("AB");
    const QString strHtml = View().toHtml();
    Command(ID_EDIT_UNMARK_XMITTED);
    QCOMPARE(View().toHtml(), strHtml);
    QCOMPARE(View().GetXmitPos(), 0);

    Send();
    Send();
    Command(ID_EDIT_UNMARK_XMITTED);
    QCOMPARE(View().GetXmitPos(), 0);
    QCOMPARE(MarkedLength(), 0);
    QCOMPARE(Text(), QString("AB"));
    QCOMPARE(Send().ch, 'A');
}

void TxViewTest::xmitAsRadioMarks()
{
    const auto marks = [&]
    {
        const CCmdUI feldhell = State(ID_EDIT_XMIT_FELDHELL);
        const CCmdUI morse = State(ID_EDIT_XMIT_MORSE);
        if (!feldhell.m_bRadio || !morse.m_bRadio)
            return QString("not radio");
        return QString(feldhell.m_bChecked ? "F" : "") + (morse.m_bChecked ? "M" : "");
    };
    QCOMPARE(marks(), QString("F"));
    Command(ID_EDIT_XMIT_MORSE); // the typing format at the caret
    QCOMPARE(marks(), QString("M"));
    Type("AB");
    Command(ID_EDIT_XMIT_FELDHELL);
    Type("CD");
    Select(0, 2);
    QCOMPARE(marks(), QString("M"));
    Select(2, 4);
    QCOMPARE(marks(), QString("F"));
    Select(1, 3);
    QCOMPARE(marks(), QString("F")); // mixed: the last choice, Feldhell
    View().OnXmitMorse();
    Select(1, 4);
    QCOMPARE(marks(), QString("M")); // mixed: the last choice, Morse
    QVERIFY(View().IsMorseMode());
}

void TxViewTest::cannedMessageIsUndoableInsertion()
{
    m_pDoc->m_strXmitMessages[2] = "CQ CQ\r\nDE X";
    m_pDoc->m_strXmitMessages[3] = "fourth";
    Type("ABZ");
    Select(2, 3);
    Command(ID_EDIT_MESSAGE1 + 2);
    QCOMPARE(Text(), QString("ABCQ CQ\nDE X"));
    QCOMPARE(View().document()->blockCount(), 2);
    Command(ID_EDIT_UNDO);
    QCOMPARE(Text(), QString("ABZ"));

    Command(ID_EDIT_MESSAGE1 + 8); // empty: nothing
    QCOMPARE(Text(), QString("ABZ"));

    Select(3, 3);
    Command(ID_EDIT_XMIT_MORSE);
    Command(ID_EDIT_MESSAGE1 + 3);
    QCOMPARE(Text(), QString("ABZfourth"));
    QVERIFY(IsBoldAt(3) && IsBoldAt(8));
    QVERIFY(!IsBoldAt(2));
}

void TxViewTest::clearUnsentText()
{
    Type("ABCDEF");
    Send();
    Send();
    m_pDoc->OnClearTxBuffer();
    QCOMPARE(Text(), QString("AB"));
    QCOMPARE(View().GetXmitPos(), 2);
    Type("x");
    QCOMPARE(Text(), QString("ABx"));
    QCOMPARE(Send().ch, 'x');
}

void TxViewTest::editCommandsFollowEditor()
{
    QVERIFY(!State(ID_EDIT_UNDO).m_bEnabled);
    QVERIFY(!State(ID_EDIT_CUT).m_bEnabled);
    QVERIFY(!State(ID_EDIT_COPY).m_bEnabled);
    QVERIFY(!State(ID_EDIT_PASTE).m_bEnabled);
    Type("AB");
    Select(0, 1);
    QVERIFY(State(ID_EDIT_UNDO).m_bEnabled);
    QVERIFY(State(ID_EDIT_CUT).m_bEnabled);
    Command(ID_EDIT_COPY);
    QCOMPARE(QApplication::clipboard()->text(), QString("A"));
    QVERIFY(State(ID_EDIT_PASTE).m_bEnabled);
    QVERIFY(!View().OnCmdMsg(ID_OPERATE_TRANSMIT, nullptr));
    CCmdUI cmdUI;
    QVERIFY(!View().OnCmdMsg(ID_OPERATE_TRANSMIT, &cmdUI));
}

void TxViewTest::printsToPdf()
{
    Type("PRINT ME");
    Send();
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("tx.pdf"));
    View().Print(printer);
    QVERIFY(QFileInfo(dir.filePath("tx.pdf")).size() > 500);
    QCOMPARE(MarkedLength(), 1); // the view itself is untouched
}

void TxViewTest::cp1252Codes()
{
    QCOMPARE(Cp1252::XmitCode(U'A'), 65);
    QCOMPARE(Cp1252::XmitCode(U'\t'), 9);
    QCOMPARE(Cp1252::XmitCode(U'é'), 233);
    QCOMPARE(Cp1252::XmitCode(U'ÿ'), 255);
    QCOMPARE(Cp1252::XmitCode(U'€'), 128);
    QCOMPARE(Cp1252::XmitCode(U'’'), 0x92);
    QCOMPARE(Cp1252::XmitCode(U'…'), 0x85);
    QCOMPARE(Cp1252::XmitCode(U'Ÿ'), 0x9F);
    QCOMPARE(Cp1252::XmitCode(U'\u2029'), 13);
    QCOMPARE(Cp1252::XmitCode(U'\u2028'), 13);
    QCOMPARE(Cp1252::XmitCode(U'中'), '?');
    QCOMPARE(Cp1252::XmitCode(U'\u0081'), '?'); // a C1 control, not the unassigned code 0x81
    QCOMPARE(Cp1252::XmitCode(U'\u20AD'), '?');
}

QTEST_MAIN(TxViewTest)
#include "TxViewTest.moc"
