#include "ui/SplitTracker.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSplitter>

namespace
{
constexpr int kStep = 8;
}

CSplitTracker::CSplitTracker(QSplitter* pSplitter) : QObject(pSplitter), m_pSplitter(pSplitter) {}

void CSplitTracker::Start()
{
    if (m_bTracking || m_pSplitter->count() != 2)
        return;
    m_bTracking = true;
    m_SizesBefore = m_pSplitter->sizes();
    QApplication::setOverrideCursor(m_pSplitter->orientation() == Qt::Vertical ? Qt::SplitVCursor
                                                                               : Qt::SplitHCursor);
    qApp->installEventFilter(this);
}

void CSplitTracker::MoveBy(int nDelta)
{
    QList<int> sizes = m_pSplitter->sizes();
    const int nTotal = sizes[0] + sizes[1];
    sizes[0] = std::clamp(sizes[0] + nDelta, 0, nTotal);
    sizes[1] = nTotal - sizes[0];
    m_pSplitter->setSizes(sizes);
}

void CSplitTracker::Finish(bool bKeep)
{
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    if (!bKeep)
        m_pSplitter->setSizes(m_SizesBefore);
    m_bTracking = false;
}

bool CSplitTracker::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    switch (pEvent->type())
    {
    case QEvent::ShortcutOverride:
        // While the bar moves, its keys are not the window's shortcuts (Esc would stop a
        // transmission).
        pEvent->accept();
        return true;
    case QEvent::KeyPress:
    {
        const auto* pKey = static_cast<QKeyEvent*>(pEvent);
        const int nStep = (pKey->modifiers() & Qt::ControlModifier) ? 1 : kStep;
        const bool bVertical = m_pSplitter->orientation() == Qt::Vertical;
        switch (pKey->key())
        {
        case Qt::Key_Up:
        case Qt::Key_Left:
            if ((pKey->key() == Qt::Key_Up) == bVertical)
                MoveBy(-nStep);
            break;
        case Qt::Key_Down:
        case Qt::Key_Right:
            if ((pKey->key() == Qt::Key_Down) == bVertical)
                MoveBy(nStep);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Finish(true);
            break;
        case Qt::Key_Escape:
            Finish(false);
            break;
        default:
            break;
        }
        return true;
    }
    case QEvent::KeyRelease:
        return true;
    case QEvent::MouseButtonPress:
        Finish(true);
        return true;
    default:
        return QObject::eventFilter(pWatched, pEvent);
    }
}
