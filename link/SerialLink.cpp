#include "link/SerialLink.h"

#include "link/LinkQueues.h"
#include "link/PortFactory.h"
#include "link/PortName.h"
#include "link/TxItems.h"

#include <algorithm>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <system_error>
#include <time.h>

namespace
{
constexpr int kSlotsPerTransmit = 2;

// SCHED_FIFO at the highest level allowed: the system's maximum for a privileged user, else the
// real-time limit granted to this user. Without either the thread stays at normal priority.
void RaiseToRealTime(pthread_t thread)
{
    sched_param param{};
    param.sched_priority = sched_get_priority_max(SCHED_FIFO);
    if (pthread_setschedparam(thread, SCHED_FIFO, &param) == 0)
        return;
    rlimit limit{};
    if (getrlimit(RLIMIT_RTPRIO, &limit) != 0 || limit.rlim_cur == 0)
        return;
    param.sched_priority = static_cast<int>(std::min<rlim_t>(limit.rlim_cur, param.sched_priority));
    pthread_setschedparam(thread, SCHED_FIFO, &param);
}
} // namespace

CSerialLink::CSerialLink(CLinkQueues& queues) : m_Queues(queues), m_PortFactory(PortFactory::Create) {}

std::unique_ptr<IPort> CSerialLink::MakePort(const std::string& strName) const
{
    return strName.empty() ? nullptr : m_PortFactory(strName);
}

CSerialLink::~CSerialLink()
{
    ClosePort();
}

bool CSerialLink::OpenPort(const std::string& strName)
{
    return SelectPort(MakePort(strName), false);
}

bool CSerialLink::OpenPort(std::unique_ptr<IPort> pPort)
{
    return SelectPort(std::move(pPort), false);
}

bool CSerialLink::OpenOrAwaitPort(const std::string& strName)
{
    return SelectPort(MakePort(strName), true);
}

bool CSerialLink::SelectPort(std::unique_ptr<IPort> pPort, bool bAwait)
{
    // The port in use is closed first: the new one may be the same device.
    ClosePort();
    if (!pPort)
    {
        m_strOpenError = "No port name was given.";
        return false;
    }
    const bool bOpened = pPort->Open();
    m_strOpenError = pPort->GetDeviceErrorText();
    if (!bOpened && !bAwait)
        return false;
    m_pPort = std::move(pPort);
    if (!StartIoThread(kTimeCriticalPriority))
    {
        ClosePort();
        m_strOpenError = "The program could not start its input/output thread.";
        return false;
    }
    return bOpened;
}

void CSerialLink::ClosePort()
{
    StopIoThread();
    m_pPort.reset();
}

bool CSerialLink::StartIoThread(int nPriority)
{
    if (m_pIoThread || !m_pPort)
        return false;
    // Alive before it runs, so that a stop that follows at once still waits for this thread.
    m_bIoThreadAlive = true;
    try
    {
        m_pIoThread = std::make_unique<std::jthread>([this](std::stop_token stop) { IoLoop(stop); });
    }
    catch (const std::system_error&)
    {
        m_bIoThreadAlive = false;
        return false;
    }
    if (nPriority >= kTimeCriticalPriority)
        RaiseToRealTime(m_pIoThread->native_handle());
    return true;
}

void CSerialLink::StopIoThread()
{
    if (!m_pIoThread)
        return;
    // Wakes a port that waits for its slot: it returns at once and the loop ends.
    m_pIoThread->request_stop();
    m_pIoThread->join();
    m_pIoThread.reset();
}

const std::string& CSerialLink::GetPortName() const
{
    static const std::string strNone;
    return m_pPort ? m_pPort->GetName() : strNone;
}

bool CSerialLink::IsDummyPort() const
{
    return GetPortName() == PortName::kDummy;
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

void CSerialLink::IoLoop(std::stop_token stop)
{
    IPort& port = *m_pPort;
    int nSlot = 0; // read slots since the last transmit slot
    std::uint32_t nLastItem = 0;
    do
    {
        m_Queues.AddRx(port.ReadSlot(stop));
        if (++nSlot == kSlotsPerTransmit)
        {
            nSlot = 0;
            if (port.CanTransmit())
            {
                nLastItem = m_Queues.TakeTx(nLastItem & TxItems::kKeyed, TxItems::kColumnItems);
                port.Transmit(nLastItem);
            }
            // A port that buffers ahead (a sound card) takes what more is queued.
            while (port.WantsAnotherItem() && m_Queues.TryTakeTx(nLastItem))
                port.Transmit(nLastItem);
        }
    } while (!stop.stop_requested());
    m_bIoThreadAlive = false;
}
