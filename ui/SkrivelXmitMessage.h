#pragma once

#include <QString>
#include <QWidget>

class QPlainTextEdit;

// One page of the canned-message sheet: a multi-line box for one message. The message is kept in
// m_strText with CR LF line breaks and exchanged with the box by UpdateData. Enter is left to the
// sheet (its default button, OK); Ctrl+Enter and Shift+Enter put a line break into the message.
class CSkrivelXmitMessage : public QWidget
{
    Q_OBJECT

public:
    explicit CSkrivelXmitMessage(QWidget* pParent = nullptr);

    // bSaveAndValidate: from the box into m_strText; otherwise from m_strText into the box.
    void UpdateData(bool bSaveAndValidate);
    QPlainTextEdit* GetEdit() const { return m_pEdit; }

    QString m_strText;

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    QPlainTextEdit* m_pEdit;
};
