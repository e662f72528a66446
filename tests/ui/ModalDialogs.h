#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Acts on the next modal dialog of the given type once it is showing, from inside its own event
// loop, so that a test can drive a dialog that a command opens with exec(). Gives up after about
// twenty seconds (a first file dialog can be slow to come up on a loaded machine): a test whose
// dialog never comes then fails on its own checks instead of hanging.
template <class TDialog> void WhenModal(std::function<void(TDialog&)> fnAct)
{
    auto* pTimer = new QTimer(qApp);
    pTimer->setInterval(10);
    QObject::connect(pTimer, &QTimer::timeout, pTimer,
                     [pTimer, fnAct, nTries = 0]() mutable
                     {
                         auto* pDialog = qobject_cast<TDialog*>(QApplication::activeModalWidget());
                         if (pDialog == nullptr && ++nTries < 2000)
                             return;
                         pTimer->stop();
                         pTimer->deleteLater();
                         if (pDialog != nullptr)
                             fnAct(*pDialog);
                     });
    pTimer->start();
}
