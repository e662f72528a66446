#pragma once

class CRig;

// While it lives, a fatal signal the program can catch (a crash: SIGSEGV, SIGBUS, SIGFPE, SIGILL,
// SIGABRT) first has the rig release the transmitter, then ends the program as the signal would
// have. One at a time.
class CUnkeyOnCrash
{
public:
    explicit CUnkeyOnCrash(CRig& rig);
    ~CUnkeyOnCrash();
    CUnkeyOnCrash(const CUnkeyOnCrash&) = delete;
    CUnkeyOnCrash& operator=(const CUnkeyOnCrash&) = delete;
};
