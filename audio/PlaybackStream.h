#pragma once

#include "audio/PulseStream.h"
#include "audio/QueueKeeper.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

// Audio to an output device, 8000 mono float samples a second. It keeps a generous amount queued
// ahead of the loudspeaker, so that a writer held up on a busy machine does not leave a gap:
// playing starts once that much is queued, and again after the output ran dry. Writes never wait
// for the device; the writer keeps its own time (its clock or the capture's).
class CPlaybackStream : public CPulseStream
{
public:
    // The audio kept queued ahead, in seconds, unless Open is told otherwise.
    static constexpr double kDefaultLatency = 0.5;

    // What paces the writer: a clock of its own, whose drift against the device's the stream
    // corrects, or the queue itself (it writes what GetQueuedSamples says is missing), which
    // needs no correction.
    enum class EPacing
    {
        WriterClock,
        Queue,
    };

    explicit CPlaybackStream(CPulseClient& client);
    ~CPlaybackStream() override;

    // Opens the output named strDevice (empty for the server's default) as strStreamName, with
    // about dLatency seconds queued in the server ahead of the device's own buffer. Closes it
    // first if open. False, with GetError, when it cannot be opened.
    bool Open(const std::string& strStreamName, const std::string& strDevice, double dLatency = kDefaultLatency,
              EPacing nPacing = EPacing::WriterClock);
    // Queues the samples. For a writer with a clock of its own, now and then one is dropped or
    // repeated to keep the queue near its level when that clock and the device's differ. False,
    // and nothing queued, while not open or lost.
    bool Write(const float* pSamples, std::size_t nSamples);
    // Drops all that is queued: what plays next is what is written after. Silence follows within
    // the device's own buffer, as far as the server can take back what it gave the device.
    void Flush();

    // Of the samples written since Open, those still to be heard: in the server's queue, the
    // device's buffer and on the way (none once lost or closed).
    std::int64_t GetQueuedSamples();
    // Of the samples written since Open, those played out (or flushed): sample n (counting from
    // 0) has been heard once this passes n.
    std::int64_t GetPlayedSamples() const;
    // The times the output ran dry since Open: each a gap in what was played.
    int GetUnderruns() const { return m_nUnderruns.load(); }

private:
    using CClock = std::chrono::steady_clock;

    bool ConnectStream(pa_stream* p, const char* pszDevice, unsigned nFlags) override;
    static void OnUnderflow(pa_stream* p, void* pv);
    static void OnTiming(pa_stream* p, void* pv);
    // These under the client's lock. Asks the server for its timing when the last is old.
    void AskTimingLocked();
    // False until the server has reported its timing.
    bool QueuedLocked(std::int64_t& nQueued) const;
    std::int64_t QueuedNowLocked() const;

    double m_dLatency = kDefaultLatency;
    EPacing m_nPacing = EPacing::WriterClock;
    std::atomic<int> m_nUnderruns{0};
    // Under the client's lock: samples given to the server, and how many more than the writer
    // gave (repeats less drops).
    std::int64_t m_nSent = 0;
    std::int64_t m_nExtra = 0;
    CQueueKeeper m_Keeper;
    // Under the client's lock: the server's last timing report (samples it had taken from its
    // queue, and samples in the device's buffer then), and when it came and was asked for.
    // libpulse's own interpolation runs on while the queue fills before playing, so the queue
    // is worked out here.
    bool m_bTimingKnown = false;
    bool m_bPlaying = false;
    std::int64_t m_nReadIndex = 0;
    std::int64_t m_nDeviceQueued = 0;
    CClock::time_point m_TimingAt;
    CClock::time_point m_AskedAt;
};
