#pragma once

#include "doc/IXmitSource.h"
#include "ui/CommandTarget.h"

#include <QTextCharFormat>
#include <QTextEdit>

#include <functional>

class CSkrivelDoc;
class QPrinter;

// The transmit pane: the text the operator types, which the heartbeat takes out one character at
// a time, front to back. Characters already handed out (0 .. m_nXmitPos - 1) show red and the
// operator can no longer change, delete or reformat them; bold characters go out as Morse.
//
// The red is an extra selection rebuilt from m_nXmitPos, so sending never touches the document or
// its undo stack. Every operator event that can edit runs guarded: the sent text is remembered,
// the editor acts inside one undo step, and that step is taken back if the sent text changed.
// The window should edit through OnCmdMsg: QTextEdit's own undo(), redo() and cut() slots are not
// guarded.
//
// The view makes itself the document's transmit source on construction and withdraws on
// destruction; the document must outlive it.
class CSkrivelTxView : public QTextEdit, public IXmitSource, public ICommandTarget
{
    Q_OBJECT

public:
    explicit CSkrivelTxView(CSkrivelDoc& doc, QWidget* pParent = nullptr);
    ~CSkrivelTxView() override;

    // IXmitSource
    void GetNextXmitChar(int& ch, bool& morse) override;
    void ClearUnsentText() override;

    // ICommandTarget: Loop Forever, Clear and Unmark Xmitted Chars, Xmit as Feldhell and Morse,
    // Message 1..9, Undo, Cut, Copy and Paste.
    bool OnCmdMsg(int nID, CCmdUI* pCmdUI) override;

    // Prints the transmit text, the sent part in red.
    void Print(QPrinter& printer);

    int GetXmitPos() const { return m_nXmitPos; }
    bool IsLoopForever() const { return m_bLoopForever; }

    // Command handlers.
    void OnLoopForever() { m_bLoopForever = !m_bLoopForever; }
    void OnClearXmitted();
    void OnUnmarkXmitted();
    void OnXmitFeldhell();
    void OnXmitMorse();
    void OnXmitMessage(int nMessage); // 1..9
    void OnEditUndo();
    void OnEditRedo();
    void OnEditCut();
    void OnEditCopy() { copy(); }
    void OnEditPaste();

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void inputMethodEvent(QInputMethodEvent* pEvent) override;
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dragMoveEvent(QDragMoveEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void contextMenuEvent(QContextMenuEvent* pEvent) override;
    void insertFromMimeData(const QMimeData* pSource) override;

private:
    struct SGuard;
    // What is being guarded, and how a refused step is taken back: an edit (inside one edit block)
    // and a redo by undo, an undo by redo.
    enum class EGuard
    {
        Edit,
        Undo,
        Redo
    };
    enum class EBoldness
    {
        None,
        All,
        Mixed
    };

    void RunGuarded(EGuard kind, const std::function<void()>& fnEdit);
    void GuardedEdit(const std::function<void()>& fnEdit) { RunGuarded(EGuard::Edit, fnEdit); }
    int GetTextLength() const;
    void RebuildSentMarks();
    void PushSelectionPast(int nPos);
    EBoldness GetSelectionBoldness() const;
    void SetSelection(int nAnchor, int nPosition, const QTextCharFormat& typing);
    void UpdateXmitAs(CCmdUI& cmdUI, bool bMorseItem) const;
    void ApplyXmitFormat(const QTextCharFormat& format);
    bool UpdateCommand(int nID, CCmdUI& cmdUI) const;
    bool ExecuteCommand(int nID);

    CSkrivelDoc& m_Doc;
    SGuard* m_pGuard = nullptr; // the guarded operation under way, if any

    int m_nXmitPos = 0;
    bool m_bLoopForever = false;
    bool m_bMorseMode = false;

    QTextCharFormat m_cfNormal; // fixed-pitch font, not bold, colour left automatic
    QTextCharFormat m_cfMorse;  // as m_cfNormal, but bold
    QTextCharFormat m_cfSent;   // the mark of sent characters: red
};
