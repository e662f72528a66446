#pragma once

#include "link/IPort.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

class CLinkQueues;

// The link to the board: the selected port, and the I/O thread that reads one level byte per
// slot into the receive queue and writes one transmit item every second slot. The port paces the
// slots; the loop does not know what kind of port it runs. Besides the port the thread touches
// nothing but the queues (under their locks) and the alive flag. While it runs the port is the
// thread's own; the user-interface thread selects or closes a port only after StopIoThread.
class CSerialLink
{
public:
    // The priority the document asks for: the highest the system grants (real-time when allowed).
    static constexpr int kTimeCriticalPriority = 15;

    using EState = EPortState;

    explicit CSerialLink(CLinkQueues& queues);
    ~CSerialLink();
    CSerialLink(const CSerialLink&) = delete;
    CSerialLink& operator=(const CSerialLink&) = delete;

    // Makes the ports that names stand for; PortFactory::Create until set otherwise.
    using PortFactoryFunction = std::function<std::unique_ptr<IPort>(const std::string& strName)>;
    void SetPortFactory(PortFactoryFunction factory) { m_PortFactory = std::move(factory); }
    // Stops the thread, closes what is open, opens the named port (see SetPortFactory) and starts
    // the thread. A port that cannot be opened is not kept.
    bool OpenPort(const std::string& strName);
    // As OpenPort, for a port made elsewhere.
    bool OpenPort(std::unique_ptr<IPort> pPort);
    // As OpenPort, but a device that cannot be opened stays selected, and the thread looks for it
    // as for one that went away. False while it is missing.
    bool OpenOrAwaitPort(const std::string& strName);
    // Stops the thread first if one runs.
    void ClosePort();
    // Needs a selected port and no thread running.
    bool StartIoThread(int nPriority);
    // Returns once the thread has ended: within about one slot.
    void StopIoThread();

    // The port as it was named ("COM1", not the device path); empty when none is selected.
    const std::string& GetPortName() const;
    bool IsDummyPort() const;
    // Why the last open of a port failed, in the operator's words; empty after a success.
    const std::string& GetOpenErrorText() const { return m_strOpenError; }
    bool IsIoThreadAlive() const { return m_bIoThreadAlive; }
    // The selected port's state and why its device was last refused (see IPort). Safe from any
    // thread while the port stays selected (the I/O thread runs on it).
    EState GetState() const { return m_pPort ? m_pPort->GetState() : EState::NoPort; }
    int GetDeviceError() const { return m_pPort ? m_pPort->GetDeviceError() : 0; }
    std::string GetDeviceErrorText() const { return m_pPort ? m_pPort->GetDeviceErrorText() : std::string(); }
    int GetUnderruns() const { return m_pPort ? m_pPort->GetUnderruns() : 0; }
    CPttStatus GetPttStatus() const { return m_pPort ? m_pPort->GetPttStatus() : CPttStatus(); }
    // The selected port's transmit items a second (see IPort); Feld-Hell's when none is selected.
    int GetItemRate() const { return m_pPort ? m_pPort->GetItemRate() : HellModeNames::kFeldHellItemRate; }
    // Drops what the port has queued for transmission (see IPort). Safe from any thread.
    void FlushTransmit()
    {
        if (m_pPort)
            m_pPort->FlushTransmit();
    }
    // The selected port's tuning, if it hears audio (see IPort); null otherwise.
    CAudioTuning* GetAudioTuning() const { return m_pPort ? m_pPort->GetAudioTuning() : nullptr; }
    // CPU time the running I/O thread has used so far; zero when none runs.
    std::chrono::nanoseconds GetIoThreadCpuTime() const;

private:
    std::unique_ptr<IPort> MakePort(const std::string& strName) const;
    bool SelectPort(std::unique_ptr<IPort> pPort, bool bAwait);
    void IoLoop(std::stop_token stop);

    CLinkQueues& m_Queues;
    PortFactoryFunction m_PortFactory;
    std::unique_ptr<IPort> m_pPort;
    std::string m_strOpenError;
    // A fresh thread, and with it a fresh stop request, for every run.
    std::unique_ptr<std::jthread> m_pIoThread;
    std::atomic<bool> m_bIoThreadAlive{false};
};
