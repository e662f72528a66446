#pragma once

#include <QList>
#include <QObject>

class QSplitter;

// Moves the bar of a splitter from the keyboard: Up and Down move it (by one pixel with Ctrl),
// Enter keeps the new place, Esc puts it back; a mouse click also ends the move.
class CSplitTracker : public QObject
{
    Q_OBJECT

public:
    explicit CSplitTracker(QSplitter* pSplitter);

    void Start();

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void MoveBy(int nDelta);
    void Finish(bool bKeep);

    QSplitter* m_pSplitter;
    QList<int> m_SizesBefore;
    bool m_bTracking = false;
};
