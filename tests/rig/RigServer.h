#pragma once

#include <string>

#include <sys/types.h>

// A rig server (hamlib's rigctld) of the test's own, with hamlib's dummy rig, on a free port of
// 127.0.0.1. Started again it takes the same port, as a restarted server would.
class CRigServer
{
public:
    CRigServer() = default;
    ~CRigServer();
    CRigServer(const CRigServer&) = delete;
    CRigServer& operator=(const CRigServer&) = delete;

    // Starts the server and waits until it takes connections. False when it does not come up.
    bool Start();
    // Ends it at once, as a crash would, and waits for it.
    void Kill();
    // Holds it still (SIGSTOP): it takes connections and answers nothing; Resume lets it go on.
    void Pause();
    void Resume();
    // "127.0.0.1:port", as the rig's settings take it.
    std::string GetAddress() const;
    // The PTT as rigctl reads it from the server: 1 or 0, -1 when it does not answer.
    int ReadPtt() const;
    // Keys or releases the transmitter as another program would, through rigctl.
    bool SetPtt(bool bKeyed) const;

private:
    std::string RunRigctl(const std::string& strCommand) const;

    int m_nPort = 0;
    pid_t m_nPid = -1;
};
