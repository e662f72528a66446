#include "station/PttKeyer.h"

#include "rig/HamlibRig.h"
#include "rig/Rig.h"

namespace
{
// How long the rig may take to confirm the key: an exchange and its retry, and opening it.
constexpr auto kAnswerTime = std::chrono::milliseconds(3 * CHamlibRig::kTimeoutMs);
} // namespace

CPttKeyer::CPttKeyer(CRig* pRig, int nSampleRate) : m_pRig(pRig), m_nSampleRate(nSampleRate)
{
    if (m_pRig != nullptr)
        m_pRig->AddUser();
}

CPttKeyer::~CPttKeyer()
{
    if (m_pRig == nullptr)
        return;
    Release();
    m_pRig->RemoveUser();
}

std::int64_t CPttKeyer::SamplesOf(int nMs) const
{
    return static_cast<std::int64_t>(nMs) * m_nSampleRate / 1000;
}

void CPttKeyer::OnWritten(std::int64_t nWritten, bool bKeyed)
{
    m_nWritten = nWritten;
    m_bTransmitterKeyed = bKeyed;
    if (bKeyed)
        m_nKeyedEnd = nWritten;
    if (m_nReleaseAt >= 0 && nWritten >= m_nReleaseAt)
        m_bReady = true;
}

bool CPttKeyer::Update(bool bKeyedWaiting, std::int64_t nPlayed)
{
    const bool bNeeded = bKeyedWaiting || m_bTransmitterKeyed || nPlayed < m_nKeyedEnd + m_nTail;
    if (!bNeeded)
    {
        Release();
        m_bFailed = false;
        return true;
    }
    if (!m_bAsked && !m_bFailed)
        Ask();
    if (!m_bAsked || m_pRig == nullptr || m_bReady)
    {
        if (m_bReady && m_pRig != nullptr && m_pRig->GetStatus().m_nFailures > m_nRigFailures)
        {
            Fail(m_pRig->GetStatus().m_strError);
            return false;
        }
        return true;
    }
    const CRigStatus status = m_pRig->GetStatus();
    if (status.m_nFailures > m_nRigFailures || (status.m_nPttDone >= m_nRequest && !status.m_bKeyed))
    {
        Fail(status.m_strError);
        return false;
    }
    if (status.m_nPttDone < m_nRequest && Clock::now() - m_tAsked > kAnswerTime)
    {
        Fail("The rig did not answer in time.");
        return false;
    }
    // Keyed: the tone follows once the lead has played, counted from what is heard now.
    if (status.m_nPttDone >= m_nRequest && m_nReleaseAt < 0)
        m_nReleaseAt = nPlayed + m_nLead;
    if (m_nReleaseAt >= 0 && m_nWritten >= m_nReleaseAt)
        m_bReady = true;
    return true;
}

void CPttKeyer::Ask()
{
    m_bAsked = true;
    m_nReleaseAt = -1;
    const CRigSettings settings = m_pRig != nullptr ? m_pRig->GetSettings() : CRigSettings();
    m_nLead = SamplesOf(settings.m_nLeadMs);
    m_nTail = SamplesOf(settings.m_nTailMs);
    // Nothing to key: the transmitter's VOX hears the tone at once.
    m_bReady = m_bVox = m_pRig == nullptr || settings.m_nPtt == ERigPtt::None;
    if (m_bReady)
        return;
    m_nRigFailures = m_pRig->GetStatus().m_nFailures;
    m_nRequest = m_pRig->SetPtt(true);
    m_tAsked = Clock::now();
}

void CPttKeyer::Release()
{
    if (m_bAsked && m_pRig != nullptr)
        m_pRig->SetPtt(false);
    m_bAsked = false;
    m_bReady = false;
    m_nReleaseAt = -1;
}

void CPttKeyer::Fail(const std::string& strWhy)
{
    Release();
    m_bFailed = true;
    {
        std::scoped_lock lock(m_FailureLock);
        m_strFailure = strWhy.empty() ? "The transmitter could not be keyed." : strWhy;
    }
    ++m_nFailures;
}

void CPttKeyer::Reset()
{
    Release();
    m_bFailed = false;
    m_nWritten = 0;
    m_nKeyedEnd = 0;
    m_bTransmitterKeyed = false;
}

CPttStatus CPttKeyer::GetStatus() const
{
    CPttStatus status;
    status.m_nFailures = m_nFailures.load();
    {
        std::scoped_lock lock(m_FailureLock);
        status.m_strFailure = m_strFailure;
    }
    if (m_pRig == nullptr)
    {
        status.m_nState = EPttState::Vox;
        return status;
    }
    const CRigStatus rig = m_pRig->GetStatus();
    switch (rig.m_nState)
    {
    case CRigStatus::EState::NoControl:
        status.m_nState = EPttState::Vox;
        break;
    case CRigStatus::EState::Absent:
        status.m_nState = EPttState::NoRig;
        status.m_strProblem = rig.m_strError;
        break;
    case CRigStatus::EState::Unused:
    case CRigStatus::EState::Ready:
        status.m_nState = rig.m_bKeyed ? EPttState::On : EPttState::Off;
        break;
    }
    status.m_strReading = rig.m_strReading;
    return status;
}
