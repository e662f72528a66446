#include "ui/HelpWindow.h"

#include "engine/HellFont.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

QString CHelpWindow::FindManual()
{
    // Where the bundled font is looked for.
    for (const std::string& strDir : CHellFont::GetDataDirs())
    {
        const QFileInfo page(QString::fromStdString(strDir) + QLatin1Char('/') + QLatin1String(kManualPage));
        if (page.isFile())
            return page.canonicalFilePath();
    }
    return {};
}

bool CHelpWindow::ShowManual(QWidget* pOwner)
{
    auto* pWindow = pOwner->findChild<CHelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (pWindow == nullptr)
    {
        const QString strPage = FindManual();
        if (strPage.isEmpty())
            return false;
        pWindow = new CHelpWindow(strPage, pOwner);
    }
    pWindow->show();
    pWindow->raise();
    pWindow->activateWindow();
    return true;
}

CHelpWindow::CHelpWindow(const QString& strPage, QWidget* pOwner)
    : QWidget(pOwner, Qt::Window), m_pBrowser(new QTextBrowser(this))
{
    setWindowTitle(QStringLiteral("Skrivel Help"));
    m_pBrowser->setObjectName(QStringLiteral("m_pBrowser"));
    m_pBrowser->setOpenExternalLinks(true);
    m_pBrowser->setSource(QUrl::fromLocalFile(strPage));
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(m_pBrowser);
    resize(860, 680); // the screenshot at its own size
}
