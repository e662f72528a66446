// The transmit pane on the offscreen platform: sent text kept from every way of editing, the
// characters handed to the heartbeat, and the pane's commands.

#include "DropEvents.h"
#include "MemoryProfile.h"
#include "RecordingHost.h"

#include "doc/SkrivelDoc.h"
#include "ui/CmdUI.h"
#include "ui/CommandIds.h"
#include "ui/Cp1252.h"
#include "ui/SkrivelTxView.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace
{
struct SXmitChar
{
    int ch = -1;
    bool morse = false;
};

// Drops text (and links to files) at character nPos.
void DropAt(CSkrivelTxView& view, int nPos, const QString& strText, const QStringList& files = {})
{
    QTextCursor cursor(view.document());
    cursor.setPosition(nPos);
    DropOn(view.viewport(), view.cursorRect(cursor).center(), strText, files);
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

private:
    CSkrivelTxView& View() { return *m_pView; }
    QString Text() const { return m_pView->toPlainText(); }
    void Select(int nAnchor, int nPosition)
    {
        QTextCursor cursor(m_pView->document());
        cursor.setPosition(nAnchor);
        cursor.setPosition(nPosition, QTextCursor::KeepAnchor);
        m_pView->setTextCursor(cursor);
    }
    void Type(const QString& strText) { QTest::keyClicks(m_pView.get(), strText); }
    void Key(Qt::Key nKey, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(m_pView.get(), nKey, modifiers);
    }
    SXmitChar Next()
    {
        SXmitChar sent;
        m_pView->GetNextXmitChar(sent.ch, sent.morse);
        return sent;
    }

    // The next nCount characters handed out, each Morse one followed by "*".
    QString Send(int nCount)
    {
        QString strSent;
        for (int i = 0; i < nCount; ++i)
        {
            const SXmitChar sent = Next();
            strSent += (sent.ch < 0 ? QString() : QString(QChar(sent.ch))) + (sent.morse ? "*" : "");
        }
        return strSent;
    }

    void Command(int nID) { QVERIFY(m_pView->OnCmdMsg(nID, nullptr)); }
    CCmdUI State(int nID)
    {
        CCmdUI cmdUI;
        if (!m_pView->OnCmdMsg(nID, &cmdUI))
            qFatal("command %d not handled", nID);
        return cmdUI;
    }
    int MarkedLength() const
    {
        int nLength = 0;
        for (const QTextEdit::ExtraSelection& mark : m_pView->extraSelections())
        {
            if (mark.format.foreground().color() == QColor(255, 0, 0))
                nLength += mark.cursor.selectionEnd() - mark.cursor.selectionStart();
        }
        return nLength;
    }
    bool IsBoldAt(int nPos)
    {
        QTextCursor cursor(m_pView->document());
        cursor.setPosition(nPos + 1);
        return cursor.charFormat().fontWeight() > QFont::Normal;
    }

    // "ABCDEF" with B bold, A B C sent, the caret at the end.
    void PrepareSentText()
    {
        Type("ABCDEF");
        Select(1, 2);
        Command(ID_EDIT_XMIT_MORSE);
        Select(6, 6);
        QCOMPARE(Send(3), QString("AB*C"));
    }

    CMemoryProfile m_Profile;
    CRecordingHost m_Host;
    std::unique_ptr<CSkrivelDoc> m_pDoc;
    std::unique_ptr<CSkrivelTxView> m_pView;

private slots:
    void init()
    {
        m_pDoc = std::make_unique<CSkrivelDoc>(m_Profile, m_Host);
        m_pView = std::make_unique<CSkrivelTxView>(*m_pDoc);
        m_pView->resize(400, 200);
        m_pView->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pView.get()));
        QApplication::clipboard()->clear();
    }

    void cleanup()
    {
        m_pView.reset();
        m_pDoc.reset();
    }

    void refusesEditsOfSentText_data()
    {
        QTest::addColumn<int>("nAnchor");
        QTest::addColumn<int>("nPosition");
        QTest::addColumn<EditFn>("edit");
        const auto key = [](Qt::Key nKey, Qt::KeyboardModifiers modifiers = {})
        { return EditFn([=](CSkrivelTxView& v) { QTest::keyClick(&v, nKey, modifiers); }); };
        const auto command = [](int nID)
        { return EditFn([=](CSkrivelTxView& v) { v.OnCmdMsg(nID, nullptr); }); };
        const auto commit = EditFn(
            [](CSkrivelTxView& v)
            {
                QInputMethodEvent event;
                event.setCommitString("x", -1, 1);
                QApplication::sendEvent(&v, &event);
            });
        QTest::newRow("typing over") << 2 << 4 << key(Qt::Key_X);
        QTest::newRow("backspace at boundary") << 3 << 3 << key(Qt::Key_Backspace);
        QTest::newRow("delete on sent") << 1 << 1 << key(Qt::Key_Delete);
        QTest::newRow("cut key") << 1 << 4 << key(Qt::Key_X, Qt::ControlModifier);
        QTest::newRow("cut command") << 2 << 5 << command(ID_EDIT_CUT);
        QTest::newRow("paste command inside") << 1 << 1 << command(ID_EDIT_PASTE);
        QTest::newRow("text dropped inside")
            << 6 << 6 << EditFn([](CSkrivelTxView& v) { DropAt(v, 1, "dropped"); });
        QTest::newRow("input method replacing") << 3 << 3 << commit;
        QTest::newRow("morse on sent") << 2 << 5 << command(ID_EDIT_XMIT_MORSE);
        QTest::newRow("feldhell on sent bold") << 0 << 4 << command(ID_EDIT_XMIT_FELDHELL);
        QTest::newRow("undo command") << 6 << 6 << command(ID_EDIT_UNDO);
        QTest::newRow("context menu undo")
            << 6 << 6 << EditFn([](CSkrivelTxView& v) { PickFromContextMenu(v, "&Undo"); });
        QTest::newRow("context menu delete")
            << 1 << 4 << EditFn([](CSkrivelTxView& v) { PickFromContextMenu(v, "Delete"); });
        QTest::newRow("message over") << 2 << 4 << command(ID_EDIT_MESSAGE1);
    }

    void refusesEditsOfSentText()
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

    void undoAndRedoNeverChangeSentText()
    {
        Type("ab");
        Select(0, 2);
        Command(ID_EDIT_XMIT_MORSE);
        Key(Qt::Key_Z, Qt::ControlModifier); // undone before sending ...
        QVERIFY(!IsBoldAt(0));
        QCOMPARE(Send(1), QString("a"));
        const QString strPlain = View().toHtml();
        Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); // ... the bold cannot be redone onto it
        QCOMPARE(View().toHtml(), strPlain);

        Key(Qt::Key_Z, Qt::ControlModifier); // takes the unsent b
        QCOMPARE(Text(), QString("a"));
        Key(Qt::Key_Z, Qt::ControlModifier); // would take the sent a
        Command(ID_EDIT_UNDO);
        QCOMPARE(Text(), QString("a"));
        QCOMPARE(View().GetXmitPos(), 1);
        QCOMPARE(MarkedLength(), 1);
        QCOMPARE(Next().ch, -1);
    }

    void editsAfterSentTextAreFree()
    {
        PrepareSentText();
        Select(3, 3);
        Type("xy");
        QCOMPARE(Text(), QString("ABCxyDEF"));
        QCOMPARE(MarkedLength(), 3); // neither red ...
        Key(Qt::Key_Backspace);
        QCOMPARE(Text(), QString("ABCxDEF")); // ... nor protected
        QCOMPARE(View().GetXmitPos(), 3);
        QCOMPARE(Send(1), QString("x"));

        // Paste, drop and the format right after the sent text are free as well; dropped files are not.
        QApplication::clipboard()->setText("p");
        Select(4, 4);
        Command(ID_EDIT_PASTE);
        DropAt(View(), 4, "d");
        QCOMPARE(Text(), QString("ABCxdpDEF"));
        DropAt(View(), 4, "/etc/hostname", {"/etc/hostname"});
        QCOMPARE(Text(), QString("ABCxdpDEF"));
        Select(4, 7);
        Command(ID_EDIT_XMIT_MORSE);
        QVERIFY(IsBoldAt(4) && IsBoldAt(6));
    }

    void boldGoesOutAsMorseThenNothing()
    {
        Type("AB");
        Select(0, 1);
        Command(ID_EDIT_XMIT_MORSE);
        Select(2, 2);
        QCOMPARE(Send(1), QString("A*"));
        QCOMPARE(MarkedLength(), 1);
        QCOMPARE(Send(2), QString("B")); // then nothing, and not as Morse
        QCOMPARE(View().GetXmitPos(), 2);
        QCOMPARE(MarkedLength(), 2);
    }

    void loopForeverWrapsButNotOnEmptyText()
    {
        Command(ID_OPERATE_LOOP_FOREVER);
        QVERIFY(State(ID_OPERATE_LOOP_FOREVER).m_bChecked);
        QCOMPARE(Next().ch, -1);
        QCOMPARE(View().GetXmitPos(), 0);

        Type("AB");
        Select(0, 1);
        Command(ID_EDIT_XMIT_MORSE);
        QCOMPARE(Send(3), QString("A*BA*"));
        QCOMPARE(View().GetXmitPos(), 1);
        QCOMPARE(MarkedLength(), 1);
    }

    void selectionIsPushedPastSentCharacter()
    {
        Type("AB");
        Select(0, 0);
        Command(ID_EDIT_XMIT_MORSE); // a pending typing format survives the push
        Send(1);
        QCOMPARE(View().textCursor().position(), 1);
        Type("x");
        QCOMPARE(Text(), QString("AxB"));
        QCOMPARE(MarkedLength(), 1);
        QVERIFY(IsBoldAt(1));
        QVERIFY(View().document()->isUndoAvailable());

        Select(0, 3);
        Send(1);
        QCOMPARE(View().textCursor().selectionStart(), 2);
        QCOMPARE(View().textCursor().selectionEnd(), 3);
        Select(3, 1);
        Send(1);
        QCOMPARE(View().textCursor().anchor(), 3);
        QCOMPARE(View().textCursor().position(), 3);

        // Sent text selected to be copied stays selected while sending goes on.
        Type("yz");
        Select(1, 0);
        Send(2);
        QCOMPARE(View().textCursor().selectedText(), QString("A"));
        Command(ID_EDIT_COPY);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("A"));
    }

    void shrunkTextClampsPosition()
    {
        Type("ABC");
        Send(3);
        View().setPlainText("A");
        QCOMPARE(Next().ch, -1);
        QCOMPARE(View().GetXmitPos(), 1);
        Command(ID_OPERATE_LOOP_FOREVER);
        View().setPlainText("");
        QCOMPARE(Next().ch, -1);
        QCOMPARE(View().GetXmitPos(), 0);
        View().setPlainText("Z");
        QCOMPARE(Send(2), QString("ZZ"));
    }

    void charactersGoOutAsCp1252()
    {
        View().insertPlainText(QString::fromUtf8("é€\n中😀!"));
        for (const int nCode : {233, 128, 13, 63, 63}) // "?": the last one character, two code units
            QCOMPARE(Next().ch, nCode);
        QCOMPARE(View().GetXmitPos(), 6);
        QCOMPARE(MarkedLength(), 6);
        QCOMPARE(Next().ch, '!');

        const std::pair<char32_t, int> codes[] = {{U'\t', 9},       {U'ÿ', 255},  {U'’', 0x92},
                                                  {U'…', 0x85},     {U'Ÿ', 0x9F}, {U'\u2028', 13},
                                                  {U'\u0081', '?'}, // C1, not 0x81
                                                  {U'\u20AD', '?'}};
        for (const auto& [c, nCode] : codes)
            QCOMPARE(Cp1252::XmitCode(c), nCode);
    }

    void clearXmittedShiftsSelection()
    {
        Type("ABCDEFGHIJ");
        Send(3);
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

        Send(2);
        Select(1, 2);
        Command(ID_EDIT_CLEAR_XMITTED);
        QCOMPARE(Text(), QString("FGHIJ"));
        QCOMPARE(View().textCursor().anchor(), 0);
        QCOMPARE(View().textCursor().position(), 0);
    }

    void clearUnsentAndUnmarkXmitted()
    {
        Type("ABCDEF");
        Send(2);
        m_pDoc->OnClearTxBuffer();
        QCOMPARE(Text(), QString("AB"));
        QCOMPARE(View().GetXmitPos(), 2);
        Type("x");
        QCOMPARE(Text(), QString("ABx"));

        Command(ID_EDIT_UNMARK_XMITTED);
        QCOMPARE(View().GetXmitPos(), 0);
        QCOMPARE(MarkedLength(), 0);
        QCOMPARE(Text(), QString("ABx"));
        QCOMPARE(Send(1), QString("A"));
    }

    void xmitAsRadioMarks()
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
    }

    void cannedMessageIsUndoableInsertion()
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

    void editCommandsFollowEditor()
    {
        for (const int nID : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE})
            QVERIFY(!State(nID).m_bEnabled);
        Type("AB");
        Select(0, 1);
        QVERIFY(State(ID_EDIT_UNDO).m_bEnabled);
        QVERIFY(State(ID_EDIT_CUT).m_bEnabled);
        Command(ID_EDIT_COPY);
        QCOMPARE(QApplication::clipboard()->text(), QString("A"));
        QVERIFY(State(ID_EDIT_PASTE).m_bEnabled);
        CCmdUI cmdUI;
        QVERIFY(!View().OnCmdMsg(ID_OPERATE_TRANSMIT, &cmdUI)); // the document's command
    }
};

QTEST_MAIN(TxViewTest)
#include "TxViewTest.moc"
