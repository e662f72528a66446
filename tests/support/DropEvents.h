#pragma once

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

// Drags text and links to files onto a widget and drops them at pos, as the operator would:
// enter, then drop. Returns whether the widget took both events.
inline bool DropOn(QWidget* pTarget, const QPoint& pos, const QString& strText, const QStringList& files = {})
{
    QMimeData mime;
    if (!strText.isEmpty())
        mime.setText(strText);
    QList<QUrl> urls;
    for (const QString& strPath : files)
        urls << QUrl::fromLocalFile(strPath);
    if (!urls.isEmpty())
        mime.setUrls(urls);
    QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pTarget, &enter);
    QDropEvent drop(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pTarget, &drop);
    QCoreApplication::processEvents();
    return enter.isAccepted() && drop.isAccepted();
}
