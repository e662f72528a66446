#include "link/SerialLink.h"

#include "link/TxItems.h"
#include "link/LinkQueues.h"
#include "link/OpenErrorText.h"
#include "link/PortName.h"

#include <algorithm>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <system_error>
#include <time.h>

namespace
{
constexpr int kSlotsPerTransmit = 2;
constexpr std::uint32_t kDummyToneLevel = 200;
constexpr std::uint32_t kDummySilenceLevel = 50;
constexpr auto kDummySlot = std::chrono::milliseconds(1);
// How often a device that has gone away is looked for again.
constexpr auto kReopenInterval = std::chrono::seconds(1);

// SCHED_FIFO at the highest level allowed: the system's maximum for a privileged user, else the
// real-time limit granted to this user. Without either the thread stays at normal priority.
void RaiseToRealTime(std::thread& thread)
{
    sched_param param{};
    param.sched_priority = sched_get_priority_max(SCHED_FIFO);
    if (pthread_setschedparam(thread.native_handle(), SCHED_FIFO, &param) == 0)
        return;
    rlimit limit{};
    if (getrlimit(RLIMIT_RTPRIO, &limit) != 0 || limit.rlim_cur == 0)
        return;
    param.sched_priority = static_cast<int>(std::min<rlim_t>(limit.rlim_cur, param.sched_priority));
    pthread_setschedparam(thread.native_handle(), SCHED_FIFO, &param);
}
} // namespace

CSerialLink::CSerialLink(CLinkQueues& queues) : m_Queues(queues) {}

CSerialLink::~CSerialLink()
{
    ClosePort();
}

bool CSerialLink::OpenPort(const std::string& strName)
{
    StopIoThread();
    ClosePort();
    const bool bOpened = strName == PortName::kDummy ? OpenDummyPort() : OpenComPort(strName);
    return bOpened && StartSelectedPort();
}

bool CSerialLink::OpenOrAwaitPort(const std::string& strName)
{
    if (OpenPort(strName))
        return true;
    // No device error: the failure was no device's (no name, or no thread), and waits for nothing.
    if (m_nDeviceError == 0)
        return false;
    m_strPortName = strName;
    m_nState = EState::Waiting;
    StartSelectedPort();
    return false;
}

bool CSerialLink::StartSelectedPort()
{
    if (StartIoThread(kTimeCriticalPriority))
        return true;
    ClosePort();
    m_strOpenError = "The program could not start its input/output thread.";
    return false;
}

bool CSerialLink::OpenComPort(const std::string& strName)
{
    if (!m_strPortName.empty())
    {
        m_strOpenError = "Another port is open.";
        return false;
    }
    if (strName.empty())
    {
        m_strOpenError = "No port name was given.";
        return false;
    }
    const std::string strPath = PortName::GetDevicePath(strName);
    int nError = 0;
    const int hDevice = SerialDevice::Open(strPath, nError);
    if (hDevice == SerialDevice::kInvalid)
    {
        m_nDeviceError = nError;
        m_strOpenError = OpenErrorText::For(nError, strPath);
        return false;
    }
    m_hPort = hDevice;
    m_strPortName = strName;
    m_bDummyPort = false;
    m_nState = EState::Open;
    m_strOpenError.clear();
    return true;
}

bool CSerialLink::OpenDummyPort()
{
    if (!m_strPortName.empty())
    {
        m_strOpenError = "Another port is open.";
        return false;
    }
    m_strPortName = PortName::kDummy;
    m_bDummyPort = true;
    m_nState = EState::Open;
    m_strOpenError.clear();
    return true;
}

void CSerialLink::ClosePort()
{
    StopIoThread();
    if (m_hPort != SerialDevice::kInvalid)
        SerialDevice::Close(m_hPort);
    m_hPort = SerialDevice::kInvalid;
    m_bDummyPort = false;
    m_strPortName.clear();
    m_nState = EState::NoPort;
    m_nDeviceError = 0;
}

bool CSerialLink::StartIoThread(int nPriority)
{
    if (m_pIoThread || m_strPortName.empty())
        return false;
    // Alive before it runs, so that a stop that follows at once still waits for this thread.
    m_bIoThreadAlive = true;
    try
    {
        m_pIoThread = std::make_unique<std::thread>(&CSerialLink::IoThreadProc, this);
    }
    catch (const std::system_error&)
    {
        m_bIoThreadAlive = false;
        return false;
    }
    if (nPriority >= kTimeCriticalPriority)
        RaiseToRealTime(*m_pIoThread);
    return true;
}

void CSerialLink::StopIoThread()
{
    if (!m_pIoThread)
        return;
    {
        // Under the lock, so that the thread cannot miss the signal between its test and its wait.
        std::scoped_lock lock(m_WakeLock);
        m_bStopIoThread = true;
    }
    m_WakeSignal.notify_all();
    m_pIoThread->join();
    m_pIoThread.reset();
    m_bStopIoThread = false;
}

std::chrono::nanoseconds CSerialLink::GetIoThreadCpuTime() const
{
    clockid_t clock{};
    timespec time{};
    if (!m_pIoThread || pthread_getcpuclockid(m_pIoThread->native_handle(), &clock) != 0 ||
        clock_gettime(clock, &time) != 0)
        return {};
    return std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec);
}

int CSerialLink::IoThreadProc(CSerialLink* pLink)
{
    return pLink->IoLoop();
}

int CSerialLink::IoLoop()
{
    CSlotState state;
    do
    {
        m_Queues.AddRx(ReadSlot(state));
        if (++state.nSlot == kSlotsPerTransmit)
        {
            state.nSlot = 0;
            TransmitSlot(state);
        }
    } while (!m_bStopIoThread);
    m_bIoThreadAlive = false;
    return 0;
}

std::uint32_t CSerialLink::ReadSlot(CSlotState& state)
{
    if (m_bDummyPort)
    {
        std::this_thread::sleep_for(kDummySlot);
        return state.nDummyLevel;
    }
    // A slot without a byte lasts the full time-out even when the read gives up early (a device
    // that has gone away reads as empty at once): a lost board costs no CPU and looks silent.
    const auto tSlotEnd = std::chrono::steady_clock::now() + SerialDevice::kReadTimeout;
    if (m_hPort != SerialDevice::kInvalid || ReopenLostDevice(state))
    {
        std::uint8_t nByte = 0;
        switch (SerialDevice::ReadByte(m_hPort, nByte))
        {
        case SerialDevice::ReadResult::Byte:
            return nByte;
        case SerialDevice::ReadResult::Lost:
            // Closed at once, so that the device can come back under its name (a USB adapter
            // plugged in again) and another program may take it meanwhile.
            SerialDevice::Close(m_hPort);
            m_hPort = SerialDevice::kInvalid;
            m_nState = EState::Lost;
            state.tNextReopen = std::chrono::steady_clock::now() + kReopenInterval;
            break;
        case SerialDevice::ReadResult::Nothing:
            break;
        }
    }
    WaitUntil(tSlotEnd);
    return 0;
}

void CSerialLink::TransmitSlot(CSlotState& state)
{
    // While the device is missing nothing is taken: the queued items, and the text behind them,
    // wait for the board to come back instead of going out to no one.
    if (!m_bDummyPort && m_hPort == SerialDevice::kInvalid)
        return;
    const std::uint32_t nItem = m_Queues.TakeTx(state.nLastItem & TxItems::kKeyed, TxItems::kColumnItems);
    if (m_bDummyPort)
        state.nDummyLevel = (nItem & TxItems::kTone) != 0 ? kDummyToneLevel : kDummySilenceLevel;
    else if (m_hPort != SerialDevice::kInvalid)
        SerialDevice::WriteByte(m_hPort, static_cast<std::uint8_t>(nItem & 0xFF));
    state.nLastItem = nItem;
}

bool CSerialLink::ReopenLostDevice(CSlotState& state)
{
    const auto tNow = std::chrono::steady_clock::now();
    if (tNow < state.tNextReopen)
        return false;
    state.tNextReopen = tNow + kReopenInterval;
    // Open refuses what is not the board, whatever the name stands for by now.
    int nError = 0;
    m_hPort = SerialDevice::Open(PortName::GetDevicePath(m_strPortName), nError);
    m_nDeviceError = m_hPort == SerialDevice::kInvalid ? nError : 0;
    if (m_hPort == SerialDevice::kInvalid)
        return false;
    m_nState = EState::Open;
    return true;
}

void CSerialLink::WaitUntil(std::chrono::steady_clock::time_point tDeadline)
{
    std::unique_lock lock(m_WakeLock);
    m_WakeSignal.wait_until(lock, tDeadline, [this] { return m_bStopIoThread.load(); });
}
