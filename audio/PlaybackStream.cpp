#include "audio/PlaybackStream.h"

#include "audio/AudioFormat.h"
#include "audio/PulseClient.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cmath>

namespace
{
// The keeper corrects when the queue is off its level by more than a quarter of the latency, at
// most once in 50 ms of audio: up to 2500 ppm between the two clocks.
constexpr double kKeeperBand = 0.25;
constexpr std::int64_t kKeeperSpacing = AudioFormat::kSampleRate / 20;
constexpr std::size_t kSampleBytes = sizeof(float);
// The server is asked for its timing this often while the stream is used.
constexpr auto kTimingInterval = std::chrono::milliseconds(100);

std::int64_t SamplesOf(double dSeconds)
{
    return std::llround(dSeconds * AudioFormat::kSampleRate);
}
} // namespace

CPlaybackStream::CPlaybackStream(CPulseClient& client)
    : CPulseStream(client, true), m_Keeper(SamplesOf(kDefaultLatency * kKeeperBand), kKeeperSpacing)
{
}

CPlaybackStream::~CPlaybackStream()
{
    Close();
}

bool CPlaybackStream::Open(const std::string& strStreamName, const std::string& strDevice, double dLatency,
                           EPacing nPacing)
{
    m_dLatency = dLatency;
    m_nPacing = nPacing;
    m_nUnderruns.store(0);
    {
        CLock lock(m_Client);
        m_nSent = 0;
        m_nExtra = 0;
        m_Keeper = CQueueKeeper(SamplesOf(dLatency * kKeeperBand), kKeeperSpacing);
        m_bTimingKnown = false;
        m_bPlaying = false;
    }
    return OpenStream(strStreamName, strDevice);
}

bool CPlaybackStream::ConnectStream(pa_stream* p, const char* pszDevice, unsigned nFlags)
{
    // The latency is the server's queue for this stream, which must fill before playing starts;
    // the device's buffer comes on top.
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(SamplesOf(m_dLatency) * kSampleBytes);
    attr.prebuf = static_cast<std::uint32_t>(-1);
    attr.minreq = static_cast<std::uint32_t>(-1);
    attr.fragsize = static_cast<std::uint32_t>(-1);
    pa_stream_set_underflow_callback(p, OnUnderflow, this);
    pa_stream_set_latency_update_callback(p, OnTiming, this);
    const auto flags = static_cast<pa_stream_flags_t>(nFlags | PA_STREAM_AUTO_TIMING_UPDATE);
    return pa_stream_connect_playback(p, pszDevice, &attr, flags, nullptr, nullptr) == 0;
}

void CPlaybackStream::OnUnderflow(pa_stream*, void* pv)
{
    ++static_cast<CPlaybackStream*>(pv)->m_nUnderruns;
}

void CPlaybackStream::OnTiming(pa_stream* p, void* pv)
{
    auto* pSelf = static_cast<CPlaybackStream*>(pv);
    const pa_timing_info* pTiming = pa_stream_get_timing_info(p);
    if (pTiming == nullptr || pTiming->read_index_corrupt != 0)
        return;
    pSelf->m_bTimingKnown = true;
    pSelf->m_bPlaying = pTiming->playing != 0;
    pSelf->m_nReadIndex = pTiming->read_index / static_cast<std::int64_t>(kSampleBytes);
    pSelf->m_nDeviceQueued =
        static_cast<std::int64_t>(pTiming->sink_usec * AudioFormat::kSampleRate / PA_USEC_PER_SEC);
    pSelf->m_TimingAt = CClock::now();
}

void CPlaybackStream::AskTimingLocked()
{
    const CClock::time_point now = CClock::now();
    if (now - m_AskedAt < kTimingInterval)
        return;
    m_AskedAt = now;
    if (pa_operation* pOperation = pa_stream_update_timing_info(m_pStream, nullptr, nullptr))
        pa_operation_unref(pOperation);
}

bool CPlaybackStream::Write(const float* pSamples, std::size_t nSamples)
{
    CLock lock(m_Client);
    if (m_pStream == nullptr || IsLost())
        return false;
    AskTimingLocked();
    int nCorrection = 0;
    if (std::int64_t nQueued = 0; m_nPacing == EPacing::WriterClock && m_bPlaying && QueuedLocked(nQueued))
        nCorrection = m_Keeper.Correction(nQueued, nSamples);
    const std::size_t nSent = nSamples > 0 && nCorrection < 0 ? nSamples - 1 : nSamples;
    if (pa_stream_write(m_pStream, pSamples, nSent * kSampleBytes, nullptr, 0, PA_SEEK_RELATIVE) < 0)
        return false;
    if (nSamples > 0 && nCorrection > 0)
        pa_stream_write(m_pStream, pSamples + nSamples - 1, kSampleBytes, nullptr, 0, PA_SEEK_RELATIVE);
    m_nSent += static_cast<std::int64_t>(nSamples) + nCorrection;
    m_nExtra += nCorrection;
    return true;
}

void CPlaybackStream::Flush()
{
    CLock lock(m_Client);
    if (m_pStream == nullptr || IsLost())
        return;
    // The server's write index goes back to its read index: the timing is reported anew.
    m_bTimingKnown = false;
    AwaitLocked(pa_stream_flush(m_pStream, nullptr, nullptr));
    AwaitLocked(pa_stream_update_timing_info(m_pStream, nullptr, nullptr));
}

bool CPlaybackStream::QueuedLocked(std::int64_t& nQueued) const
{
    // libpulse keeps the write index up to date with every write; the read index is the last
    // report's, moved on by the time since while playing. While not playing (filling first, or
    // after running dry) only the device's buffer plays on.
    const pa_timing_info* pTiming = pa_stream_get_timing_info(m_pStream);
    if (!m_bTimingKnown || pTiming == nullptr || pTiming->write_index_corrupt != 0)
        return false;
    const std::int64_t nWriteIndex = pTiming->write_index / static_cast<std::int64_t>(kSampleBytes);
    const auto nElapsed = std::chrono::duration_cast<std::chrono::microseconds>(CClock::now() - m_TimingAt).count() *
                          AudioFormat::kSampleRate / 1000000;
    const std::int64_t nPlayedOn = m_bPlaying ? nElapsed : std::min(nElapsed, m_nDeviceQueued);
    const std::int64_t nAtReport = nWriteIndex - m_nReadIndex + m_nDeviceQueued;
    nQueued = std::clamp<std::int64_t>(nAtReport - nPlayedOn, 0, std::max<std::int64_t>(nAtReport, 0));
    return true;
}

std::int64_t CPlaybackStream::QueuedNowLocked() const
{
    // A lost stream plays nothing more; before the first timing report, nothing has been heard.
    std::int64_t nQueued = m_nSent;
    if (m_pStream == nullptr || IsLost())
        nQueued = 0;
    else
        QueuedLocked(nQueued);
    return std::clamp<std::int64_t>(nQueued, 0, m_nSent);
}

std::int64_t CPlaybackStream::GetQueuedSamples()
{
    CLock lock(m_Client);
    // A writer that waits for the queue to fall must see it fall: the timing is asked for anew.
    if (m_pStream != nullptr && !IsLost())
        AskTimingLocked();
    return QueuedNowLocked();
}

std::int64_t CPlaybackStream::GetPlayedSamples() const
{
    CLock lock(m_Client);
    return std::max<std::int64_t>(0, m_nSent - QueuedNowLocked() - m_nExtra);
}
