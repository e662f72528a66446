#pragma once

#include "audio/AudioDevice.h"

#include <string>
#include <vector>

struct pa_context;
struct pa_operation;
struct pa_threaded_mainloop;

// The program's connection to the sound server (PulseAudio, or PipeWire's PulseAudio service):
// libpulse's event thread and one context on it, on which the streams open. It connects when
// first needed and again after the server went away (restarted, say), when a stream is opened
// anew. It never starts a server of its own, and prints nothing. It must outlive its streams.
class CPulseClient
{
public:
    // strClientName is the name the desktop's sound settings show for the program.
    explicit CPulseClient(std::string strClientName);
    ~CPulseClient();
    CPulseClient(const CPulseClient&) = delete;
    CPulseClient& operator=(const CPulseClient&) = delete;

    // Connects unless connected. False, with GetError, when no server answers.
    bool Connect();
    // The devices the server has, in its order: inputs (sources; the monitors of outputs only
    // when bMonitors) and outputs (sinks). False, with GetError, when no server answers.
    bool ListDevices(std::vector<CAudioDevice>& inputs, std::vector<CAudioDevice>& outputs,
                     bool bMonitors = false);
    // Why the last Connect or ListDevices failed (for the thread that called it).
    const std::string& GetError() const { return m_strError; }

private:
    friend class CPulseStream;

    // Holds the event thread's lock: libpulse is called only under it, and callbacks run under it.
    class CLock
    {
    public:
        explicit CLock(const CPulseClient& client);
        ~CLock();
        CLock(const CLock&) = delete;
        CLock& operator=(const CLock&) = delete;

    private:
        pa_threaded_mainloop* m_pLoop;
    };

    // These with the lock held.
    bool ConnectLocked();
    // Waits for the operation to end; false when it failed or was cancelled (also for null).
    bool Await(pa_operation* pOperation);
    // Waits for the next callback that signals.
    void Wait();
    // From a callback: wakes whoever waits.
    void Signal();

    void DropContext();

    std::string m_strClientName;
    pa_threaded_mainloop* m_pLoop = nullptr;
    pa_context* m_pContext = nullptr;
    std::string m_strError;
};
