#include "ui/SkrivelXmitMessage.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace
{
const QString kStoredBreak = QStringLiteral("\r\n");
const QChar kEditBreak = u'\n';
} // namespace

CSkrivelXmitMessage::CSkrivelXmitMessage(QWidget* pParent)
    : QWidget(pParent), m_pEdit(new QPlainTextEdit(this))
{
    // The box scrolls with the caret but shows no scroll bar; long lines wrap.
    m_pEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pEdit->setTabChangesFocus(true);
    m_pEdit->installEventFilter(this);
    const QFontMetrics metrics(m_pEdit->font());
    m_pEdit->setMinimumSize(metrics.averageCharWidth() * 40, metrics.lineSpacing() * 5);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pEdit);
}

void CSkrivelXmitMessage::UpdateData(bool bSaveAndValidate)
{
    if (bSaveAndValidate)
    {
        m_strText = m_pEdit->toPlainText().replace(kEditBreak, kStoredBreak);
        return;
    }
    QString strText = m_strText;
    m_pEdit->setPlainText(strText.replace(kStoredBreak, QString(kEditBreak)));
}

bool CSkrivelXmitMessage::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched != m_pEdit || pEvent->type() != QEvent::KeyPress)
        return QWidget::eventFilter(pWatched, pEvent);
    auto* pKey = static_cast<QKeyEvent*>(pEvent);
    if (pKey->key() != Qt::Key_Return && pKey->key() != Qt::Key_Enter)
        return false;
    const Qt::KeyboardModifiers modifiers = pKey->modifiers() & ~Qt::KeypadModifier;
    if (modifiers & (Qt::ControlModifier | Qt::ShiftModifier))
    {
        m_pEdit->textCursor().insertText(QString(kEditBreak));
        return true;
    }
    // Ignored and filtered out: the key travels up to the sheet, which presses OK.
    pKey->ignore();
    return true;
}
