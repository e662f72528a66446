#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

// The user manual in a window of its own beside the main window: its links work, and those that
// lead out of the manual open in the desktop's browser.
class CHelpWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char* kManualPage = "manual/manual.html";

    // The manual's page beside the program (in the build tree) or in its share folder when
    // installed; empty when it is in neither.
    static QString FindManual();
    // Shows the manual in pOwner's help window, made on first use and raised after. False when
    // the manual cannot be found.
    static bool ShowManual(QWidget* pOwner);

    QTextBrowser* GetBrowser() const { return m_pBrowser; }

private:
    CHelpWindow(const QString& strPage, QWidget* pOwner);

    QTextBrowser* m_pBrowser;
};
