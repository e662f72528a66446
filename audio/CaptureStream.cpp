#include "audio/CaptureStream.h"

#include "audio/AudioFormat.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cmath>

namespace
{
constexpr std::size_t kSampleBytes = sizeof(float);
} // namespace

CCaptureStream::CCaptureStream(CPulseClient& client) : CPulseStream(client, false)
{
}

CCaptureStream::~CCaptureStream()
{
    Close();
}

bool CCaptureStream::Open(const std::string& strStreamName, const std::string& strDevice, double dMaxHeld)
{
    {
        std::lock_guard lock(m_HeldLock);
        m_Held.clear();
        m_nDropped = 0;
        m_nMaxHeld = static_cast<std::size_t>(std::lround(dMaxHeld * AudioFormat::kSampleRate));
        m_bFlowing = false;
    }
    if (!OpenStream(strStreamName, strDevice))
        return false;
    std::lock_guard lock(m_HeldLock);
    m_bFlowing = !IsLost();
    return true;
}

bool CCaptureStream::ConnectStream(pa_stream* p, const char* pszDevice, unsigned nFlags)
{
    // Small blocks, and a device latency to match, so that the reader gets the audio soon.
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(-1);
    attr.prebuf = static_cast<std::uint32_t>(-1);
    attr.minreq = static_cast<std::uint32_t>(-1);
    attr.fragsize = static_cast<std::uint32_t>(std::lround(kBlockSeconds * AudioFormat::kSampleRate) * kSampleBytes);
    pa_stream_set_read_callback(p, OnReadable, this);
    return pa_stream_connect_record(p, pszDevice, &attr,
                                    static_cast<pa_stream_flags_t>(nFlags | PA_STREAM_ADJUST_LATENCY)) == 0;
}

void CCaptureStream::OnReadable(pa_stream* p, std::size_t, void* pv)
{
    auto* pSelf = static_cast<CCaptureStream*>(pv);
    while (pa_stream_readable_size(p) > 0)
    {
        const void* pData = nullptr;
        std::size_t nBytes = 0;
        if (pa_stream_peek(p, &pData, &nBytes) < 0 || nBytes == 0)
            return;
        pSelf->Take(static_cast<const float*>(pData), nBytes / kSampleBytes);
        pa_stream_drop(p);
    }
}

void CCaptureStream::Take(const float* pData, std::size_t nSamples)
{
    {
        std::lock_guard lock(m_HeldLock);
        if (pData != nullptr)
            m_Held.insert(m_Held.end(), pData, pData + nSamples);
        else
            m_Held.insert(m_Held.end(), nSamples, 0.0f);
        if (m_Held.size() > m_nMaxHeld)
        {
            const std::size_t nExcess = m_Held.size() - m_nMaxHeld;
            m_Held.erase(m_Held.begin(), m_Held.begin() + static_cast<std::ptrdiff_t>(nExcess));
            m_nDropped += static_cast<std::int64_t>(nExcess);
        }
    }
    m_HeldSignal.notify_all();
}

void CCaptureStream::OnEnded()
{
    {
        std::lock_guard lock(m_HeldLock);
        m_bFlowing = false;
    }
    m_HeldSignal.notify_all();
}

std::size_t CCaptureStream::Read(float* pSamples, std::size_t nSamples, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_HeldLock);
    // Woken at half the most held, so that nothing is dropped while it waits for more.
    const std::size_t nEnough = std::min(nSamples, m_nMaxHeld / 2);
    m_HeldSignal.wait_for(lock, timeout, [&] { return m_Held.size() >= nEnough || !m_bFlowing; });
    const std::size_t nTaken = std::min(nSamples, m_Held.size());
    std::copy_n(m_Held.begin(), nTaken, pSamples);
    m_Held.erase(m_Held.begin(), m_Held.begin() + static_cast<std::ptrdiff_t>(nTaken));
    return nTaken;
}

std::size_t CCaptureStream::GetAvailable() const
{
    std::lock_guard lock(m_HeldLock);
    return m_Held.size();
}

std::int64_t CCaptureStream::GetDropped() const
{
    std::lock_guard lock(m_HeldLock);
    return m_nDropped;
}
