#pragma once

#include "link/SerialDevice.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class CLinkQueues;

// The link to the DSP board: a serial device or the simulated DUMMY port, and the I/O thread that
// reads one level byte per slot into the receive queue and writes one transmit item every second
// slot. Besides the device it touches nothing but the queues (under their locks), the atomics
// and the wake signal. While it runs the device descriptor is the thread's own (it closes a device
// that goes away and reopens it by name); the user-interface thread changes the port fields only
// after StopIoThread.
class CSerialLink
{
public:
    // The priority the document asks for: the highest the system grants (real-time when allowed).
    static constexpr int kTimeCriticalPriority = 15;

    enum class EState
    {
        NoPort,  // nothing selected
        Open,    // the device, or DUMMY, is in use
        Waiting, // selected but not opened yet: looked for once a second
        Lost,    // it was open and went away: looked for once a second
    };

    explicit CSerialLink(CLinkQueues& queues);
    ~CSerialLink();
    CSerialLink(const CSerialLink&) = delete;
    CSerialLink& operator=(const CSerialLink&) = delete;

    // Stops the thread, closes what is open, opens the named port ("DUMMY" exactly is the dummy
    // port, "COMn" is /dev/ttyS<n-1>, anything else a device path) and starts the thread.
    bool OpenPort(const std::string& strName);
    // As OpenPort, but a device that cannot be opened stays selected, and the thread looks for it
    // once a second as for one that went away. False while it is missing.
    bool OpenOrAwaitPort(const std::string& strName);
    // Fail, changing nothing, while a port is selected.
    bool OpenComPort(const std::string& strName);
    bool OpenDummyPort();
    // Stops the thread first if one runs.
    void ClosePort();
    // Needs a selected port and no thread running.
    bool StartIoThread(int nPriority);
    // Returns once the thread has ended: within about one slot.
    void StopIoThread();

    // The port as it was named ("COM1", not the device path); empty when none is selected.
    const std::string& GetPortName() const { return m_strPortName; }
    bool IsDummyPort() const { return m_bDummyPort; }
    // Why the last open of a port failed, in the operator's words; empty after a success.
    const std::string& GetOpenErrorText() const { return m_strOpenError; }
    bool IsIoThreadAlive() const { return m_bIoThreadAlive; }
    // Safe to read from any thread while the I/O thread runs.
    EState GetState() const { return m_nState; }
    // Why the device was refused when it was last opened or looked for: an errno or one of
    // SerialDevice's refusals; 0 when it is open or was never tried. Safe from any thread.
    int GetDeviceError() const { return m_nDeviceError; }
    // CPU time the running I/O thread has used so far; zero when none runs.
    std::chrono::nanoseconds GetIoThreadCpuTime() const;

private:
    // What the thread keeps for one run; fresh on every start.
    struct CSlotState
    {
        int nSlot = 0; // read slots since the last transmit slot
        std::uint32_t nLastItem = 0;
        std::uint32_t nDummyLevel = 0;
        std::chrono::steady_clock::time_point tNextReopen; // while the device is missing
    };

    static int IoThreadProc(CSerialLink* pLink);
    int IoLoop();
    std::uint32_t ReadSlot(CSlotState& state);
    void TransmitSlot(CSlotState& state);
    bool ReopenLostDevice(CSlotState& state);
    // Starts the thread on the port just selected; closes it again if the thread cannot start.
    bool StartSelectedPort();
    // Sleeps until tDeadline or a stop request, whichever comes first.
    void WaitUntil(std::chrono::steady_clock::time_point tDeadline);

    CLinkQueues& m_Queues;
    int m_hPort = SerialDevice::kInvalid;
    bool m_bDummyPort = false;
    std::string m_strPortName;
    std::string m_strOpenError;
    std::unique_ptr<std::thread> m_pIoThread;
    std::atomic<bool> m_bIoThreadAlive{false};
    std::atomic<bool> m_bStopIoThread{false};
    std::atomic<EState> m_nState{EState::NoPort};
    std::atomic<int> m_nDeviceError{0};
    // Wakes the thread from the sleep that stands in for the reads of a missing device.
    std::mutex m_WakeLock;
    std::condition_variable m_WakeSignal;
};
