#include "rig/UnkeyOnCrash.h"

#include "rig/Rig.h"

#include <signal.h>

#include <atomic>

namespace
{
constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

std::atomic<CRig*> s_pRig{nullptr};

void OnFatalSignal(int nSignal)
{
    if (CRig* pRig = s_pRig.exchange(nullptr))
        pRig->UnkeyFromSignalHandler();
    // The handler was reset as it ran: the signal again ends the program as usual. A fault comes
    // back by itself when the faulting instruction runs again; a sent signal needs raising.
    ::raise(nSignal);
}
} // namespace

CUnkeyOnCrash::CUnkeyOnCrash(CRig& rig)
{
    s_pRig = &rig;
    struct sigaction action
    {
    };
    action.sa_handler = OnFatalSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    for (const int nSignal : kSignals)
        ::sigaction(nSignal, &action, nullptr);
}

CUnkeyOnCrash::~CUnkeyOnCrash()
{
    for (const int nSignal : kSignals)
        ::signal(nSignal, SIG_DFL);
    s_pRig = nullptr;
}
