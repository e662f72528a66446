#pragma once

#include <string>

#include <sys/types.h>

// A PulseAudio daemon of the test's own, in a temporary folder, with no devices but those the test
// loads. Starting it points this process's sound clients (and pactl) at it, with HOME and
// XDG_RUNTIME_DIR in its folder, so that no user's settings or server count.
class CPulseServer
{
public:
    CPulseServer();
    ~CPulseServer();
    CPulseServer(const CPulseServer&) = delete;
    CPulseServer& operator=(const CPulseServer&) = delete;

    // Starts the daemon and waits until it takes connections. False when it does not come up
    // (GetLog tells why).
    bool Start();
    // Ends the daemon (as a restart or a crash would) and waits for it.
    void Stop();
    // An output at 8000 Hz that plays into nothing, with a monitor input that hears what it plays.
    // Gives the module's number, or -1.
    int LoadNullSink(const std::string& strName, const std::string& strDescription);
    bool UnloadModule(int nModule);
    // What the daemon printed.
    std::string GetLog() const;

private:
    std::string m_strDir;
    pid_t m_nPid = -1;
};
