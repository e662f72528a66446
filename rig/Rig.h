#pragma once

#include "rig/RigSettings.h"
#include "rig/RigStatus.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <stop_token>
#include <thread>

// The station's rig: keys and releases the transmitter and reads its frequency and mode, through
// hamlib, on a thread of its own, so that a rig that is slow or does not answer never holds up
// the caller. Calls only leave wishes and read the last status; the thread carries them out in
// turn, with hamlib's time-outs.
//
// The rig is opened while somebody uses it (the sound-card port, a PTT test) and a PTT method is
// set; one that cannot be opened, or stops answering, is looked for again once a second. Every
// time it is opened the transmitter is released first. It is released, whatever was asked, when
// the last user leaves, on new settings, when the rig is destroyed, and on a fatal signal
// (UnkeyFromSignalHandler).
class CRig
{
public:
    using Clock = std::chrono::steady_clock;

    CRig();
    ~CRig();
    CRig(const CRig&) = delete;
    CRig& operator=(const CRig&) = delete;

    // Takes new settings: a rig open with other ones is released and closed, and the new one
    // opened. The same settings again change nothing.
    void Configure(const CRigSettings& settings);
    CRigSettings GetSettings() const;

    // The users: while there is one the rig is kept open. The last one leaving releases the key.
    void AddUser();
    void RemoveUser();
    // Asks for the transmitter keyed or released. Gives the request's number: the status's
    // m_nPttDone reaches it once the thread has carried it out or given up (a failure counted).
    std::uint64_t SetPtt(bool bKeyed);
    // Keys the transmitter for a while (the operator's PTT test), whoever else uses the rig.
    void TestPtt(std::chrono::milliseconds duration);
    CRigStatus GetStatus() const;

    // For a handler of a fatal signal: has the thread release the transmitter, and waits for it
    // a little while. Uses only what is safe in a signal handler.
    void UnkeyFromSignalHandler();

private:
    struct SWishes;

    void Wake();
    SWishes TakeWishes() const;
    void Run(std::stop_token stop);

    mutable std::mutex m_Lock;
    // The wishes, under m_Lock.
    CRigSettings m_Settings;
    std::uint64_t m_nSettingsVersion = 0;
    int m_nUsers = 0;
    bool m_bUserKeyed = false;
    std::uint64_t m_nPttRequest = 0;
    Clock::time_point m_tTestUntil;
    // What the thread saw, under m_Lock.
    CRigStatus m_Status;

    // A byte here wakes the thread: [0] it reads, [1] the callers write.
    int m_WakePipe[2] = {-1, -1};
    // A byte here tells a signal handler that the transmitter was released.
    int m_ReleasedPipe[2] = {-1, -1};
    std::atomic<bool> m_bFatalSignal{false};
    std::jthread m_Thread;
};
