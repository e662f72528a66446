#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

struct CLinkQueues;

// The link to the DSP board: a serial device or the simulated DUMMY port, and the I/O thread that
// reads one level byte per slot into the receive queue and writes one transmit item every second
// slot. The thread touches nothing but the queues (under their locks) and the two atomics.
class CSerialLink
{
public:
    explicit CSerialLink(CLinkQueues& queues);
    ~CSerialLink();
    CSerialLink(const CSerialLink&) = delete;
    CSerialLink& operator=(const CSerialLink&) = delete;

    // Stops the thread, closes what is open, opens the named port ("DUMMY" exactly is the dummy
    // port, "COMn" is /dev/ttyS<n-1>, anything else a device path) and starts the thread.
    bool OpenPort(const std::string& strName);
    bool OpenComPort(const std::string& strName);
    bool OpenDummyPort();
    // Only while no I/O thread runs.
    void ClosePort();
    bool StartIoThread(int nPriority);
    void StopIoThread();

    // The port as it was named ("COM1", not the device path); empty when none is selected.
    const std::string& GetPortName() const { return m_strPortName; }
    bool IsDummyPort() const { return m_bDummyPort; }
    // Why the last open of a device failed, in the operator's words; empty after a success.
    const std::string& GetOpenErrorText() const { return m_strOpenError; }

private:
    static int IoThreadProc(CSerialLink* pLink);
    int IoLoop();

    CLinkQueues& m_Queues;
    int m_hPort = -1;
    bool m_bDummyPort = false;
    std::string m_strPortName;
    std::string m_strOpenError;
    std::unique_ptr<std::thread> m_pIoThread;
    std::atomic<bool> m_bIoThreadAlive{false};
    std::atomic<bool> m_bStopIoThread{false};
};
