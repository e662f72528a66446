#include "ui/StatusPanes.h"

#include "ui/LockKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>

const char CStatusPanes::kIdleText[] = "For Help, press F1";
const char CStatusPanes::kStatusPlaceholder[] = "Tx-Rx Status  ---------------------                ";

namespace
{
void ShowIndicator(QLabel* pLabel, std::optional<bool> state, const char* pszText)
{
    pLabel->setText(state.value_or(false) ? QString::fromLatin1(pszText) : QString());
}

// A pane that shows only while it has something to say.
void ShowText(QLabel* pLabel, const QString& strText)
{
    if (pLabel->text() != strText)
        pLabel->setText(strText);
    pLabel->setVisible(!strText.isEmpty());
}
} // namespace

CStatusPanes::CStatusPanes(QStatusBar* pStatusBar) : QObject(pStatusBar)
{
    // A plain widget of the bar: it gives way to prompts and comes back when they are cleared.
    m_pIdle = new QLabel(QString::fromLatin1(kIdleText), pStatusBar);
    pStatusBar->addWidget(m_pIdle, 1);

    m_pPort = AddPane(pStatusBar, QStringLiteral("COM1: waiting for the device"));
    m_pPort->setMaximumWidth(QWIDGETSIZE_MAX); // a long device path widens it
    m_pMode = AddPane(pStatusBar, QStringLiteral("FSK Hell 245"));
    m_pPtt = AddPane(pStatusBar, QStringLiteral("PTT: no rig"));
    m_pPtt->setObjectName(QStringLiteral("m_pPtt"));
    m_pPtt->hide();
    m_pRig = AddPane(pStatusBar, QStringLiteral("145.000000 MHz PKTUSB"));
    m_pRig->setObjectName(QStringLiteral("m_pRig"));
    m_pRig->hide();
    m_pStatus = AddPane(pStatusBar, QString::fromLatin1(kStatusPlaceholder));
    m_pStatus->setText(QString::fromLatin1(kStatusPlaceholder));
    m_pDropped = AddPane(pStatusBar, QStringLiteral("99999 samples dropped"));
    m_pDropped->setMaximumWidth(QWIDGETSIZE_MAX); // a larger count widens it
    m_pDropped->setObjectName(QStringLiteral("m_pDropped"));
    m_pDropped->hide();
    m_pCaps = AddPane(pStatusBar, QStringLiteral("CAP"));
    m_pNum = AddPane(pStatusBar, QStringLiteral("NUM"));
    m_pScroll = AddPane(pStatusBar, QStringLiteral("SCRL"));

    m_bScrollLock = LockKeys::GetState(LockKeys::EKey::Scroll).value_or(false);
    UpdateIndicators();
    qApp->installEventFilter(this);
}

QLabel* CStatusPanes::AddPane(QStatusBar* pStatusBar, const QString& strSizeText)
{
    auto* pLabel = new QLabel(pStatusBar);
    pLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int nMargins = 2 * pLabel->frameWidth() + 2 * pLabel->margin() + 6;
    pLabel->setFixedWidth(pLabel->fontMetrics().horizontalAdvance(strSizeText) + nMargins);
    pStatusBar->addPermanentWidget(pLabel);
    return pLabel;
}

void CStatusPanes::SetOperatingStatus(const QString& strText)
{
    m_pStatus->setText(strText);
}

QString CStatusPanes::GetOperatingStatus() const
{
    return m_pStatus->text();
}

void CStatusPanes::SetDroppedSamples(std::uint64_t nDropped)
{
    m_pDropped->setVisible(nDropped != 0);
    if (nDropped != 0)
        m_pDropped->setText(QStringLiteral("%1 samples dropped").arg(nDropped));
}

void CStatusPanes::SetPortStatus(const QString& strText, const QString& strReason)
{
    if (m_pPort->text() != strText)
        m_pPort->setText(strText);
    if (m_pPort->toolTip() != strReason)
        m_pPort->setToolTip(strReason);
}

void CStatusPanes::SetPttStatus(const QString& strText, const QString& strProblem, const QString& strRig)
{
    ShowText(m_pPtt, strText);
    if (m_pPtt->toolTip() != strProblem)
        m_pPtt->setToolTip(strProblem);
    ShowText(m_pRig, strRig);
}

void CStatusPanes::SetMode(const QString& strName)
{
    if (m_pMode->text() != strName)
        m_pMode->setText(strName);
}

void CStatusPanes::UpdateIndicators()
{
    const std::optional<bool> caps = LockKeys::GetState(LockKeys::EKey::Caps);
    ShowIndicator(m_pCaps, caps, "CAP");
    ShowIndicator(m_pNum, LockKeys::GetState(LockKeys::EKey::Num), "NUM");
    // Where the platform tells the lock keys at all, Scroll Lock shows its light or, as most
    // keymaps give it none, the count of its presses.
    const bool bScroll = LockKeys::GetState(LockKeys::EKey::Scroll).value_or(false) || m_bScrollLock;
    ShowIndicator(m_pScroll, caps ? std::optional<bool>(bScroll) : std::nullopt, "SCRL");
}

bool CStatusPanes::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    switch (pEvent->type())
    {
    case QEvent::KeyRelease:
    {
        // One key event reaches several objects on its way; only the window's counts.
        if (!pWatched->isWindowType())
            break;
        const int nKey = static_cast<QKeyEvent*>(pEvent)->key();
        if (nKey == Qt::Key_ScrollLock)
            m_bScrollLock = !m_bScrollLock;
        if (nKey == Qt::Key_CapsLock || nKey == Qt::Key_NumLock || nKey == Qt::Key_ScrollLock)
            UpdateIndicators();
        break;
    }
    case QEvent::ApplicationStateChange:
        UpdateIndicators();
        break;
    default:
        break;
    }
    return QObject::eventFilter(pWatched, pEvent);
}
