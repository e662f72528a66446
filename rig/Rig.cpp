#include "rig/Rig.h"

#include "rig/HamlibRig.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace
{
// How often a rig that is not there is looked for, and an open one read.
constexpr auto kLookInterval = std::chrono::seconds(1);
constexpr auto kReadInterval = std::chrono::seconds(1);
// How long a signal handler waits for the transmitter to be released: an exchange and its retry.
constexpr int kSignalWaitMs = (CHamlibRig::kRetries + 1) * CHamlibRig::kTimeoutMs + 500;
// Without a wake pipe (no descriptors left) the thread looks at the wishes this often.
constexpr int kFallbackWaitMs = 50;

void MakePipe(int (&fds)[2])
{
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        fds[0] = fds[1] = -1;
}

void ClosePipe(int (&fds)[2])
{
    for (int& fd : fds)
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void WriteByte(int fd)
{
    if (fd < 0)
        return;
    const char c = 0;
    [[maybe_unused]] const ssize_t n = ::write(fd, &c, 1);
}

void Drain(int fd)
{
    char buffer[64];
    while (fd >= 0 && ::read(fd, buffer, sizeof buffer) > 0)
    {
    }
}

std::string FormatReading(double dHz, const std::string& strMode)
{
    char szFrequency[32];
    std::snprintf(szFrequency, sizeof szFrequency, "%.6f MHz", dHz / 1e6);
    return strMode.empty() ? szFrequency : szFrequency + (" " + strMode);
}
} // namespace

// The wishes as the thread takes them at the start of a round.
struct CRig::SWishes
{
    CRigSettings settings;
    std::uint64_t nSettingsVersion = 0;
    bool bInUse = false;
    bool bKeyed = false;
    std::uint64_t nPttRequest = 0;
    Clock::time_point tTestUntil;
};

CRig::CRig()
{
    MakePipe(m_WakePipe);
    MakePipe(m_ReleasedPipe);
    m_Thread = std::jthread([this](std::stop_token stop) { Run(stop); });
}

CRig::~CRig()
{
    m_Thread.request_stop();
    Wake();
    m_Thread.join();
    ClosePipe(m_WakePipe);
    ClosePipe(m_ReleasedPipe);
}

void CRig::Wake()
{
    WriteByte(m_WakePipe[1]);
}

void CRig::Configure(const CRigSettings& settings)
{
    {
        std::scoped_lock lock(m_Lock);
        if (settings == m_Settings)
            return;
        m_Settings = settings;
        ++m_nSettingsVersion;
    }
    Wake();
}

CRigSettings CRig::GetSettings() const
{
    std::scoped_lock lock(m_Lock);
    return m_Settings;
}

void CRig::AddUser()
{
    {
        std::scoped_lock lock(m_Lock);
        ++m_nUsers;
    }
    Wake();
}

void CRig::RemoveUser()
{
    {
        std::scoped_lock lock(m_Lock);
        if (--m_nUsers == 0)
            m_bUserKeyed = false;
    }
    Wake();
}

std::uint64_t CRig::SetPtt(bool bKeyed)
{
    std::uint64_t nRequest = 0;
    {
        std::scoped_lock lock(m_Lock);
        m_bUserKeyed = bKeyed;
        nRequest = ++m_nPttRequest;
    }
    Wake();
    return nRequest;
}

void CRig::TestPtt(std::chrono::milliseconds duration)
{
    {
        std::scoped_lock lock(m_Lock);
        m_tTestUntil = Clock::now() + duration;
        ++m_nPttRequest;
    }
    Wake();
}

CRigStatus CRig::GetStatus() const
{
    std::scoped_lock lock(m_Lock);
    return m_Status;
}

void CRig::UnkeyFromSignalHandler()
{
    m_bFatalSignal = true;
    Wake();
    pollfd released{m_ReleasedPipe[0], POLLIN, 0};
    ::poll(&released, 1, kSignalWaitMs);
}

CRig::SWishes CRig::TakeWishes() const
{
    std::scoped_lock lock(m_Lock);
    const bool bTesting = Clock::now() < m_tTestUntil;
    return {m_Settings,    m_nSettingsVersion, m_nUsers > 0 || bTesting, m_bUserKeyed || bTesting,
            m_nPttRequest, m_tTestUntil};
}

void CRig::Run(std::stop_token stop)
{
    CHamlibRig rig;
    CRigSettings settings;
    std::uint64_t nSettingsVersion = 0;
    bool bKeyed = false;                // as last set
    bool bKnown = false;                // whether the transmitter is known to be as bKeyed
    std::uint64_t nOpenedOnRequest = 0; // a PTT request tries a closed rig at once, once
    Clock::time_point tNextLook;
    Clock::time_point tNextRead;
    std::string strReading;
    bool bReleasedAfterSignal = false;

    // Releases the transmitter if it may be keyed, and closes the rig.
    const auto release = [&]
    {
        if (rig.IsOpen() && (bKeyed || !bKnown))
            rig.SetPtt(false);
        rig.Close();
        bKeyed = bKnown = false;
        strReading.clear();
    };

    while (!stop.stop_requested())
    {
        const SWishes wishes = TakeWishes();
        const bool bFatalSignal = m_bFatalSignal.load();
        const bool bWantKeyed = wishes.bKeyed && !bFatalSignal;
        const Clock::time_point now = Clock::now();
        if (wishes.nSettingsVersion != nSettingsVersion)
        {
            release();
            settings = wishes.settings;
            nSettingsVersion = wishes.nSettingsVersion;
            tNextLook = now;
        }

        bool bFailed = false;
        std::string strError;
        // The rig stopped doing what it was asked: it is closed and looked for again.
        const auto fail = [&]
        {
            strError = rig.GetError();
            bFailed = bWantKeyed;
            rig.Close();
            bKeyed = bKnown = false;
            strReading.clear();
            tNextLook = now + kLookInterval;
        };

        CRigStatus::EState nState = CRigStatus::EState::Unused;
        if (settings.m_nPtt == ERigPtt::None || !wishes.bInUse)
        {
            release();
            nState =
                settings.m_nPtt == ERigPtt::None ? CRigStatus::EState::NoControl : CRigStatus::EState::Unused;
        }
        else
        {
            const bool bNewRequest = bWantKeyed && wishes.nPttRequest != nOpenedOnRequest;
            if (!rig.IsOpen() && (now >= tNextLook || bNewRequest))
            {
                nOpenedOnRequest = wishes.nPttRequest;
                tNextLook = now + kLookInterval;
                if (rig.Open(settings))
                    tNextRead = now;
                else
                    fail();
            }
            if (rig.IsOpen() && (!bKnown || bKeyed != bWantKeyed))
            {
                if (rig.SetPtt(bWantKeyed))
                {
                    bKeyed = bWantKeyed;
                    bKnown = true;
                }
                else
                    fail();
            }
            if (rig.IsOpen() && now >= tNextRead)
            {
                // A rig that stops answering shows here: its frequency, or (a PTT line) its key.
                tNextRead = now + kReadInterval;
                double dHz = 0;
                std::string strMode;
                bool bStillKeyed = bKeyed;
                if (!rig.HasCat())
                {
                    if (bKeyed && !rig.ReadPtt(bStillKeyed))
                        fail();
                }
                else if (rig.ReadFrequency(dHz, strMode))
                    strReading = FormatReading(dHz, strMode);
                else
                    fail();
            }
            nState = rig.IsOpen() ? CRigStatus::EState::Ready : CRigStatus::EState::Absent;
        }
        if (bFatalSignal && !bReleasedAfterSignal)
        {
            bReleasedAfterSignal = true;
            WriteByte(m_ReleasedPipe[1]);
        }

        {
            std::scoped_lock lock(m_Lock);
            m_Status.m_nState = nState;
            m_Status.m_bKeyed = rig.IsOpen() && bKeyed;
            m_Status.m_nPttDone = wishes.nPttRequest;
            m_Status.m_nFailures += bFailed ? 1 : 0;
            m_Status.m_strReading = strReading;
            if (!strError.empty())
                m_Status.m_strError = strError;
            else if (nState != CRigStatus::EState::Absent)
                m_Status.m_strError.clear();
        }

        // Sleeps until a wish comes, or the next thing to do on its own.
        std::optional<Clock::time_point> tWake;
        const auto wakeBy = [&](Clock::time_point t) { tWake = tWake ? std::min(*tWake, t) : t; };
        if (nState == CRigStatus::EState::Ready)
            wakeBy(tNextRead);
        if (nState == CRigStatus::EState::Absent)
            wakeBy(tNextLook);
        if (Clock::now() < wishes.tTestUntil)
            wakeBy(wishes.tTestUntil);
        int nWaitMs = -1;
        if (tWake)
            nWaitMs = static_cast<int>(std::max<std::int64_t>(
                0, std::chrono::ceil<std::chrono::milliseconds>(*tWake - Clock::now()).count()));
        if (m_WakePipe[0] < 0)
            nWaitMs = nWaitMs < 0 ? kFallbackWaitMs : std::min(nWaitMs, kFallbackWaitMs);
        pollfd wake{m_WakePipe[0], POLLIN, 0};
        ::poll(&wake, 1, nWaitMs);
        Drain(m_WakePipe[0]);
    }
    // Whatever was asked, the transmitter is left released.
    bKnown = false;
    release();
}
