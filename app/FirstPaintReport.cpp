#include "app/FirstPaintReport.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <time.h>
#include <unistd.h>

namespace
{
double ClockSeconds(clockid_t clock)
{
    timespec time{};
    clock_gettime(clock, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
}

// The process's start in seconds since boot (field 22 of /proc/self/stat, in clock ticks), on the
// same scale as CLOCK_BOOTTIME; 0 when it cannot be read.
double ProcessStartSeconds()
{
    std::ifstream file("/proc/self/stat");
    const std::string strStat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The command name in parentheses may hold spaces: the fields are counted after it.
    const std::size_t nNameEnd = strStat.rfind(')');
    if (nNameEnd == std::string::npos)
        return 0;
    std::istringstream fields(strStat.substr(nNameEnd + 1));
    std::string strField;
    for (int nField = 3; nField <= 22; ++nField) // from the state to the start time
        fields >> strField;
    return std::strtod(strField.c_str(), nullptr) / static_cast<double>(sysconf(_SC_CLK_TCK));
}
} // namespace

void CFirstPaintReport::InstallIfAsked(QWidget& window)
{
    const char* pszValue = std::getenv("SKRIVEL_REPORT_FIRST_PAINT");
    if (pszValue == nullptr)
        return;
    window.installEventFilter(new CFirstPaintReport(window, std::strcmp(pszValue, "close") == 0));
}

CFirstPaintReport::CFirstPaintReport(QWidget& window, bool bClose)
    : QObject(&window), m_Window(window), m_bClose(bClose)
{
}

bool CFirstPaintReport::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == &m_Window && pEvent->type() == QEvent::Paint)
    {
        m_Window.removeEventFilter(this);
        // The children are painted and the window flushed before a zero timer runs.
        QTimer::singleShot(0, this, [this] { Report(); });
    }
    return QObject::eventFilter(pWatched, pEvent);
}

void CFirstPaintReport::Report()
{
    const double tBoot = ClockSeconds(CLOCK_BOOTTIME);
    const double tNow = ClockSeconds(CLOCK_MONOTONIC);
    std::fprintf(stderr, "skrivel: first paint at %.6f s, %.0f ms after the process started\n", tNow,
                 (tBoot - ProcessStartSeconds()) * 1000.0);
    if (!m_bClose)
        return;
    std::fprintf(stderr, "skrivel: close requested at %.6f s\n", ClockSeconds(CLOCK_MONOTONIC));
    m_Window.close();
}
