#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (the desktop session ending, the terminal closed, Ctrl+C) into
// a call on the user-interface thread, so that the program can end as File, Exit ends it. The
// handler only writes a byte to a pipe, the one thing that is safe there. After the first such
// signal the next one ends the program at once, as usual, in case the orderly end hangs.
class CTerminationSignals : public QObject
{
public:
    // onSignal runs from the event loop once a signal has come. One instance at a time.
    explicit CTerminationSignals(std::function<void()> onSignal);
    ~CTerminationSignals() override;
    CTerminationSignals(const CTerminationSignals&) = delete;
    CTerminationSignals& operator=(const CTerminationSignals&) = delete;

private:
    void OnReadable();

    std::function<void()> m_OnSignal;
    QSocketNotifier* m_pNotifier = nullptr;
};
