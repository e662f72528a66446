#pragma once

#include "link/IPort.h"
#include "link/SerialDevice.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

// A board on a serial device (see SerialDevice). A slot lasts until the board's byte comes, at
// most one read time-out. A device that goes away is closed at once, so that it can come back
// under its name and another program may take it meanwhile, and is looked for again once a
// second; so is one that was not there when the port was opened. While it is missing, its slots
// read as silence of a full time-out each, and it takes no transmit items.
class CSerialPort final : public IPort
{
public:
    // "COMn" names /dev/ttyS<n-1>; any other name is the device's path.
    explicit CSerialPort(std::string strName);
    ~CSerialPort() override;
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    const std::string& GetName() const override { return m_strName; }
    bool Open() override;
    EPortState GetState() const override { return m_nState; }
    int GetDeviceError() const override { return m_nDeviceError; }
    std::string GetDeviceErrorText() const override;

    std::uint32_t ReadSlot(std::stop_token stop) override;
    bool CanTransmit() const override;
    void Transmit(std::uint32_t nItem) override;

private:
    // Opens the device again if a second has passed since it was last looked for.
    bool ReopenWhenDue();

    const std::string m_strName;
    const std::string m_strPath;
    int m_hDevice = SerialDevice::kInvalid; // the I/O thread's while it runs
    std::atomic<EPortState> m_nState{EPortState::Waiting};
    std::atomic<int> m_nDeviceError{0};
    std::chrono::steady_clock::time_point m_tNextReopen; // the first look is at once
    // Wakes the wait that stands in for the reads of a missing device when a stop is requested.
    std::mutex m_WakeLock;
    std::condition_variable_any m_WakeSignal;
};
