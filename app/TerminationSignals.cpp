#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace
{
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// [0] is written by the handler, [1] read by the event loop.
int s_Pipe[2] = {-1, -1};

void OnSignal(int nSignal)
{
    const int nSavedErrno = errno;
    const char cSignal = static_cast<char>(nSignal);
    [[maybe_unused]] const ssize_t n = ::write(s_Pipe[0], &cSignal, 1);
    // The next one of these ends the program the usual way.
    ::signal(nSignal, SIG_DFL);
    errno = nSavedErrno;
}
} // namespace

CTerminationSignals::CTerminationSignals(std::function<void()> onSignal) : m_OnSignal(std::move(onSignal))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, s_Pipe) != 0)
        return;
    m_pNotifier = new QSocketNotifier(s_Pipe[1], QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, [this] { OnReadable(); });

    struct sigaction action
    {
    };
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int nSignal : kSignals)
        ::sigaction(nSignal, &action, nullptr);
}

CTerminationSignals::~CTerminationSignals()
{
    for (const int nSignal : kSignals)
        ::signal(nSignal, SIG_DFL);
    for (int& fd : s_Pipe)
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void CTerminationSignals::OnReadable()
{
    char buffer[16];
    while (::read(s_Pipe[1], buffer, sizeof buffer) > 0)
    {
    }
    if (m_OnSignal)
        m_OnSignal();
}
