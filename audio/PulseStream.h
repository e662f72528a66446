#pragma once

#include <atomic>
#include <string>

#include "audio/PulseClient.h"

struct pa_operation;
struct pa_stream;

// What the capture and the playback stream share: opening one on the client, by the server's name
// of a device, and noticing when it goes away. A device unplugged, unloaded or taken by the
// server's restart ends the stream: it is then lost (nothing waits or spins on it any more) until
// it is opened again, which the caller may try as often as it likes (once a second, say).
class CPulseStream
{
public:
    virtual ~CPulseStream();
    CPulseStream(const CPulseStream&) = delete;
    CPulseStream& operator=(const CPulseStream&) = delete;

    // Open and not lost: while it is not, a caller that wants it opens it again.
    bool IsOpen() const;
    // Was open, and its device or the server went away (until it is opened or closed again).
    bool IsLost() const { return m_bLost.load(); }
    void Close();
    // The name of the device the server gave it (the default resolved), while open.
    const std::string& GetDeviceName() const { return m_strDeviceName; }
    // Why the last Open failed.
    const std::string& GetError() const { return m_strError; }

protected:
    // The client's lock, under which libpulse is called and its callbacks run.
    using CLock = CPulseClient::CLock;

    CPulseStream(CPulseClient& client, bool bPlayback);

    // Opens the stream (closing it first if open) on strDevice, the server's name of a device, or
    // on its default for an empty name. A named device is kept: its stream ends with it rather
    // than moving to another one. False, with GetError, when it cannot be opened.
    bool OpenStream(const std::string& strStreamName, const std::string& strDevice);
    // Sets the kind's callbacks and connects p with the flags given (and the kind's own).
    virtual bool ConnectStream(pa_stream* p, const char* pszDevice, unsigned nFlags) = 0;
    // On the event thread: the stream was just lost, or closed.
    virtual void OnEnded() {}
    // With the lock held: waits for the operation to end; false when it failed.
    bool AwaitLocked(pa_operation* pOperation) { return m_Client.Await(pOperation); }

    CPulseClient& m_Client;
    pa_stream* m_pStream = nullptr; // under the client's lock

private:
    static void OnStateChanged(pa_stream* p, void* pv);
    void CloseLocked();

    const char* m_pszKind; // "input" or "output"
    bool m_bReady = false; // under the client's lock
    std::atomic<bool> m_bLost{false};
    std::string m_strDeviceName;
    std::string m_strError;
};
