#include "ui/SkrivelTxView.h"

#include "doc/SkrivelDoc.h"
#include "ui/CmdUI.h"
#include "ui/CommandIds.h"
#include "ui/Cp1252.h"
#include "ui/TextSnapshot.h"

#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QTextDocument>

#include <algorithm>
#include <memory>

namespace
{
const char kFaceName[] = "Courier New";
constexpr qreal kPointSize = 12.5;

bool IsBold(const QTextCharFormat& format)
{
    return format.fontWeight() > QFont::Normal;
}

QTextCharFormat FormatOf(const QList<QTextFormat>& formats, int nIndex)
{
    return formats.at(nIndex).toCharFormat();
}
} // namespace

// The sent text as it was when a guarded operation began; grows when characters are sent while
// the operation runs (a drag keeps its event loop going).
struct CSkrivelTxView::SGuard
{
    CTextSnapshot sent;
    int nEnd = 0;
};

CSkrivelTxView::CSkrivelTxView(CSkrivelDoc& doc, QWidget* pParent) : QTextEdit(pParent), m_Doc(doc)
{
    const QString strFamily = QFontDatabase::hasFamily(kFaceName)
                                  ? QString(kFaceName)
                                  : QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    m_cfNormal.setFontFamilies({strFamily});
    m_cfNormal.setFontPointSize(kPointSize);
    m_cfNormal.setFontFixedPitch(true);
    m_cfNormal.setFontStyleHint(QFont::TypeWriter);
    m_cfNormal.setFontWeight(QFont::Normal);
    m_cfMorse = m_cfNormal;
    m_cfMorse.setFontWeight(QFont::Bold);
    m_cfSent.setForeground(QColor(255, 0, 0));

    // Plain text from the clipboard and drops; bold stays, set by the Xmit as Morse command.
    setAcceptRichText(false);
    document()->setDefaultFont(m_cfNormal.font());
    setCurrentCharFormat(m_cfNormal);
    m_Doc.SetXmitSource(this);
}

CSkrivelTxView::~CSkrivelTxView()
{
    m_Doc.SetXmitSource(nullptr);
}

int CSkrivelTxView::GetTextLength() const
{
    return document()->characterCount() - 1;
}

// ---- The engine's side --------------------------------------------------------------------------

void CSkrivelTxView::GetNextXmitChar(int& ch, bool& morse)
{
    ch = -1;
    morse = false;
    const int nLength = GetTextLength();
    if (m_nXmitPos > nLength)
    {
        m_nXmitPos = nLength;
        RebuildSentMarks();
    }
    if (m_nXmitPos == nLength)
    {
        if (!m_bLoopForever || nLength <= 0)
            return;
        m_nXmitPos = 0;
    }

    // One character is one code point: a surrogate pair goes out (and turns red) as a whole.
    const QTextDocument& doc = *document();
    const int nPos = m_nXmitPos;
    const bool bPair = QChar::isHighSurrogate(doc.characterAt(nPos).unicode()) &&
                       QChar::isLowSurrogate(doc.characterAt(nPos + 1).unicode());
    const int nEnd = nPos + (bPair ? 2 : 1);
    const CTextSnapshot sent(doc, nPos, nEnd);
    ch = Cp1252::XmitCode(sent.GetText().toUcs4().front());
    morse = IsBold(FormatOf(doc.allFormats(), sent.GetRuns().front().nFormatIndex));
    if (m_pGuard != nullptr && m_pGuard->nEnd == nPos)
    {
        m_pGuard->sent.Append(sent);
        m_pGuard->nEnd = nEnd;
    }
    m_nXmitPos = nEnd;
    PushSelectionPast(m_nXmitPos);
    RebuildSentMarks();
}

void CSkrivelTxView::ClearUnsentText()
{
    QTextCursor unsent(document());
    unsent.setPosition(std::min(m_nXmitPos, GetTextLength()));
    unsent.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    unsent.removeSelectedText();
    m_nXmitPos = GetTextLength();
    RebuildSentMarks();
}

void CSkrivelTxView::RebuildSentMarks()
{
    QList<ExtraSelection> marks;
    if (const int nSent = std::min(m_nXmitPos, GetTextLength()); nSent > 0)
    {
        ExtraSelection mark;
        mark.cursor = QTextCursor(document());
        mark.cursor.setPosition(nSent, QTextCursor::KeepAnchor);
        // Text typed right after the sent part must not join the mark.
        mark.cursor.setKeepPositionOnInsert(true);
        mark.format = m_cfSent;
        marks.append(mark);
    }
    setExtraSelections(marks);
}

// Moves the operator's caret, or a selection that reaches past the sent text, out of the sent
// text, keeping the caret's typing format so that a pending Morse or Feldhell choice survives. A
// selection within the sent text stays, so that it can be copied while sending goes on.
void CSkrivelTxView::PushSelectionPast(int nPos)
{
    const QTextCursor cursor = textCursor();
    if (cursor.anchor() >= nPos && cursor.position() >= nPos)
        return;
    if (cursor.hasSelection() && cursor.selectionEnd() < nPos)
        return;
    SetSelection(std::max(cursor.anchor(), nPos), std::max(cursor.position(), nPos), currentCharFormat());
}

// A caret gets the given typing format back, which moving it would otherwise reset.
void CSkrivelTxView::SetSelection(int nAnchor, int nPosition, const QTextCharFormat& typing)
{
    const int nLength = GetTextLength();
    QTextCursor cursor(document());
    cursor.setPosition(std::clamp(nAnchor, 0, nLength));
    cursor.setPosition(std::clamp(nPosition, 0, nLength), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    if (!cursor.hasSelection())
        setCurrentCharFormat(typing);
}

// ---- Guarded editing ----------------------------------------------------------------------------

void CSkrivelTxView::RunGuarded(EGuard kind, const std::function<void()>& fnEdit)
{
    if (m_pGuard != nullptr)
    {
        fnEdit(); // the operation already under way covers this one
        return;
    }
    QTextDocument& doc = *document();
    SGuard guard{CTextSnapshot(doc, 0, m_nXmitPos), m_nXmitPos};
    const QTextCursor before = textCursor();
    const int nAnchor = before.anchor();
    const int nPosition = before.position();
    const QTextCharFormat typing = currentCharFormat();

    m_pGuard = &guard;
    if (kind == EGuard::Edit)
    {
        QTextCursor block(&doc);
        block.beginEditBlock();
        fnEdit();
        block.endEditBlock();
    }
    else
    {
        fnEdit();
    }
    m_pGuard = nullptr;

    // Only the operator's own step can have changed the sent text: the view's own changes do not
    // run guarded.
    if (CTextSnapshot(doc, 0, guard.nEnd) != guard.sent)
    {
        if (kind == EGuard::Undo)
            QTextEdit::redo();
        else
            QTextEdit::undo();
        SetSelection(nAnchor, nPosition, typing);
    }
    RebuildSentMarks();
}

void CSkrivelTxView::keyPressEvent(QKeyEvent* pEvent)
{
    // The editor would run these itself, past the guard.
    if (pEvent->matches(QKeySequence::Undo))
        OnEditUndo();
    else if (pEvent->matches(QKeySequence::Redo))
        OnEditRedo();
    else if (pEvent->matches(QKeySequence::Cut))
        OnEditCut();
    else
        GuardedEdit([&] { QTextEdit::keyPressEvent(pEvent); });
}

void CSkrivelTxView::inputMethodEvent(QInputMethodEvent* pEvent)
{
    GuardedEdit([&] { QTextEdit::inputMethodEvent(pEvent); });
}

// Dropped files and links are not taken; dropped text is editing like any other.
void CSkrivelTxView::dragEnterEvent(QDragEnterEvent* pEvent)
{
    if (pEvent->mimeData()->hasUrls())
        pEvent->ignore();
    else
        QTextEdit::dragEnterEvent(pEvent);
}

void CSkrivelTxView::dragMoveEvent(QDragMoveEvent* pEvent)
{
    if (pEvent->mimeData()->hasUrls())
        pEvent->ignore();
    else
        QTextEdit::dragMoveEvent(pEvent);
}

void CSkrivelTxView::dropEvent(QDropEvent* pEvent)
{
    if (pEvent->mimeData()->hasUrls())
        pEvent->ignore();
    else
        GuardedEdit([&] { QTextEdit::dropEvent(pEvent); });
}

// A drag that starts here may move the selection, into this view or out of it.
void CSkrivelTxView::mouseMoveEvent(QMouseEvent* pEvent)
{
    if (pEvent->buttons() == Qt::NoButton)
        QTextEdit::mouseMoveEvent(pEvent);
    else
        GuardedEdit([&] { QTextEdit::mouseMoveEvent(pEvent); });
}

// The middle button pastes the X11 selection on release.
void CSkrivelTxView::mouseReleaseEvent(QMouseEvent* pEvent)
{
    GuardedEdit([&] { QTextEdit::mouseReleaseEvent(pEvent); });
}

void CSkrivelTxView::insertFromMimeData(const QMimeData* pSource)
{
    GuardedEdit([&] { QTextEdit::insertFromMimeData(pSource); });
}

// The editor's own menu would undo, cut and paste past the guard; this one goes through it.
void CSkrivelTxView::contextMenuEvent(QContextMenuEvent* pEvent)
{
    QMenu menu(this);
    const auto add = [&](const QString& strText, QKeySequence::StandardKey key, bool bEnabled,
                         const std::function<void()>& fnAction)
    {
        QAction* pAction = menu.addAction(strText, this, fnAction);
        pAction->setShortcut(key);
        pAction->setEnabled(bEnabled);
    };
    const bool bSelection = textCursor().hasSelection();
    add(tr("&Undo"), QKeySequence::Undo, document()->isUndoAvailable(), [this] { OnEditUndo(); });
    add(tr("&Redo"), QKeySequence::Redo, document()->isRedoAvailable(), [this] { OnEditRedo(); });
    menu.addSeparator();
    add(tr("Cu&t"), QKeySequence::Cut, bSelection, [this] { OnEditCut(); });
    add(tr("&Copy"), QKeySequence::Copy, bSelection, [this] { OnEditCopy(); });
    add(tr("&Paste"), QKeySequence::Paste, canPaste(), [this] { OnEditPaste(); });
    add(tr("Delete"), QKeySequence::Delete, bSelection,
        [this] { GuardedEdit([this] { textCursor().removeSelectedText(); }); });
    menu.addSeparator();
    add(tr("Select All"), QKeySequence::SelectAll, !document()->isEmpty(), [this] { selectAll(); });
    menu.exec(pEvent->globalPos());
}

// ---- Commands -----------------------------------------------------------------------------------

bool CSkrivelTxView::OnCmdMsg(int nID, CCmdUI* pCmdUI)
{
    return pCmdUI != nullptr ? UpdateCommand(nID, *pCmdUI) : ExecuteCommand(nID);
}

bool CSkrivelTxView::ExecuteCommand(int nID)
{
    if (nID >= ID_EDIT_MESSAGE1 && nID < ID_EDIT_MESSAGE1 + CSkrivelDoc::kXmitMessages)
    {
        OnXmitMessage(nID - ID_EDIT_MESSAGE1 + 1);
        return true;
    }
    switch (nID)
    {
    case ID_OPERATE_LOOP_FOREVER:
        OnLoopForever();
        return true;
    case ID_EDIT_CLEAR_XMITTED:
        OnClearXmitted();
        return true;
    case ID_EDIT_UNMARK_XMITTED:
        OnUnmarkXmitted();
        return true;
    case ID_EDIT_XMIT_FELDHELL:
        OnXmitFeldhell();
        return true;
    case ID_EDIT_XMIT_MORSE:
        OnXmitMorse();
        return true;
    case ID_EDIT_UNDO:
        OnEditUndo();
        return true;
    case ID_EDIT_CUT:
        OnEditCut();
        return true;
    case ID_EDIT_COPY:
        OnEditCopy();
        return true;
    case ID_EDIT_PASTE:
        OnEditPaste();
        return true;
    default:
        return false;
    }
}

bool CSkrivelTxView::UpdateCommand(int nID, CCmdUI& cmdUI) const
{
    if (nID >= ID_EDIT_MESSAGE1 && nID < ID_EDIT_MESSAGE1 + CSkrivelDoc::kXmitMessages)
        return true;
    switch (nID)
    {
    case ID_OPERATE_LOOP_FOREVER:
        cmdUI.SetCheck(m_bLoopForever);
        return true;
    case ID_EDIT_CLEAR_XMITTED:
    case ID_EDIT_UNMARK_XMITTED:
        return true;
    case ID_EDIT_XMIT_FELDHELL:
        UpdateXmitAs(cmdUI, false);
        return true;
    case ID_EDIT_XMIT_MORSE:
        UpdateXmitAs(cmdUI, true);
        return true;
    case ID_EDIT_UNDO:
        cmdUI.Enable(document()->isUndoAvailable());
        return true;
    case ID_EDIT_CUT:
    case ID_EDIT_COPY:
        cmdUI.Enable(textCursor().hasSelection());
        return true;
    case ID_EDIT_PASTE:
        cmdUI.Enable(canPaste());
        return true;
    default:
        return false;
    }
}

void CSkrivelTxView::OnClearXmitted()
{
    // The operator's selection shifts back with the text; undo would bring the deleted text
    // back as unsent and send it again, so the undo history goes with it.
    QTextCursor sent(document());
    sent.setPosition(std::min(m_nXmitPos, GetTextLength()), QTextCursor::KeepAnchor);
    sent.removeSelectedText();
    document()->clearUndoRedoStacks();
    m_nXmitPos = 0;
    m_bLoopForever = false;
    RebuildSentMarks();
}

void CSkrivelTxView::OnUnmarkXmitted()
{
    if (m_nXmitPos == 0)
        return;
    m_nXmitPos = 0;
    RebuildSentMarks();
}

void CSkrivelTxView::OnXmitFeldhell()
{
    m_bMorseMode = false;
    ApplyXmitFormat(m_cfNormal);
}

void CSkrivelTxView::OnXmitMorse()
{
    m_bMorseMode = true;
    ApplyXmitFormat(m_cfMorse);
}

// To the selection, or to the typing format at the caret.
void CSkrivelTxView::ApplyXmitFormat(const QTextCharFormat& format)
{
    GuardedEdit([&] { mergeCurrentCharFormat(format); });
}

CSkrivelTxView::EBoldness CSkrivelTxView::GetSelectionBoldness() const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return IsBold(currentCharFormat()) ? EBoldness::All : EBoldness::None;
    const CTextSnapshot selected(*document(), cursor.selectionStart(), cursor.selectionEnd());
    const QList<QTextFormat> formats = document()->allFormats();
    bool bBold = false;
    bool bPlain = false;
    for (const CTextSnapshot::SRun& run : selected.GetRuns())
        (IsBold(FormatOf(formats, run.nFormatIndex)) ? bBold : bPlain) = true;
    if (bBold && bPlain)
        return EBoldness::Mixed;
    return bBold ? EBoldness::All : EBoldness::None;
}

// A uniform selection marks what it is; a mixed one marks the last choice.
void CSkrivelTxView::UpdateXmitAs(CCmdUI& cmdUI, bool bMorseItem) const
{
    switch (GetSelectionBoldness())
    {
    case EBoldness::All:
        cmdUI.SetRadio(bMorseItem);
        break;
    case EBoldness::None:
        cmdUI.SetRadio(!bMorseItem);
        break;
    case EBoldness::Mixed:
        cmdUI.SetRadio(m_bMorseMode == bMorseItem);
        break;
    }
}

void CSkrivelTxView::OnXmitMessage(int nMessage)
{
    const QString strMessage = QString::fromStdString(m_Doc.m_strXmitMessages.at(nMessage - 1));
    if (strMessage.isEmpty())
        return;
    // CR LF becomes one paragraph break; the text takes the typing format at the caret.
    GuardedEdit([&] { insertPlainText(strMessage); });
}

void CSkrivelTxView::OnEditUndo()
{
    RunGuarded(EGuard::Undo, [this] { QTextEdit::undo(); });
}

void CSkrivelTxView::OnEditRedo()
{
    RunGuarded(EGuard::Redo, [this] { QTextEdit::redo(); });
}

void CSkrivelTxView::OnEditCut()
{
    // Refused before anything reaches the clipboard.
    if (textCursor().selectionStart() < m_nXmitPos)
        return;
    GuardedEdit([this] { cut(); });
}

void CSkrivelTxView::OnEditPaste()
{
    paste(); // through insertFromMimeData, which is guarded
}

// ---- Printing -----------------------------------------------------------------------------------

void CSkrivelTxView::Print(QPrinter& printer)
{
    const std::unique_ptr<QTextDocument> pCopy(document()->clone());
    QTextCursor sent(pCopy.get());
    sent.setPosition(std::min(m_nXmitPos, GetTextLength()), QTextCursor::KeepAnchor);
    sent.mergeCharFormat(m_cfSent);
    pCopy->print(&printer);
}
