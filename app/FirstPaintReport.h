#pragma once

#include <QObject>

class QWidget;

// An opt-in report for timing the program from outside (bench/measure-program.sh). With the
// environment variable SKRIVEL_REPORT_FIRST_PAINT set, the window's first paint, once it has been
// drawn and flushed, writes one line to stderr:
//   skrivel: first paint at <CLOCK_MONOTONIC seconds> s, <ms> ms after the process started
// (the process start is the kernel's, to 10 ms). With the value "close" the window is then closed
// as the user would close it, after a second line with the moment of that request:
//   skrivel: close requested at <CLOCK_MONOTONIC seconds> s
// Without the variable nothing is installed.
class CFirstPaintReport : public QObject
{
public:
    static void InstallIfAsked(QWidget& window);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    CFirstPaintReport(QWidget& window, bool bClose);
    void Report();

    QWidget& m_Window;
    bool m_bClose;
};
