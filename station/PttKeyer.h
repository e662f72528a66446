#pragma once

#include "link/PttStatus.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

class CRig;

// Keys the transmitter for the sound-card port, by what the output has actually played: keyed
// while keyed audio waits or plays, released once the tail has played after its last keyed
// sample. A tone waits until the rig has confirmed the key and the lead time has played out
// since; a long lead is silence before it. A rig that does not key, does not answer in time, or
// stops answering while keyed fails the transmission. Without a rig, or without a PTT method, the
// transmitter keys itself (VOX) and the audio never waits.
//
// The I/O thread calls everything but GetStatus, which is safe from any thread.
class CPttKeyer
{
public:
    // pRig (if any) must outlive the keyer; it is used from now until the keyer's end.
    CPttKeyer(CRig* pRig, int nSampleRate);
    ~CPttKeyer();
    CPttKeyer(const CPttKeyer&) = delete;
    CPttKeyer& operator=(const CPttKeyer&) = delete;

    // The output has been written up to sample nWritten (counted since it was opened); bKeyed:
    // the transmitter was keyed at its end.
    void OnWritten(std::int64_t nWritten, bool bKeyed);
    // Whether the next keyed item may be played.
    bool IsReady() const { return m_bReady; }
    // Whether the transmitter keys itself (VOX) for the transmission asked for: the silence
    // queued before it leads nothing in and may be dropped.
    bool IsVox() const { return m_bVox; }
    // Whether keyed audio has been written that is not heard yet (nPlayed samples are).
    bool IsKeyedAudioAhead(std::int64_t nPlayed) const
    {
        return m_bTransmitterKeyed || nPlayed < m_nKeyedEnd;
    }
    // Keys or releases as needed: bKeyedWaiting, keyed items wait to be played; nPlayed, the
    // output's samples heard so far. False when the transmitter could not be keyed: the caller
    // drops its transmission.
    bool Update(bool bKeyedWaiting, std::int64_t nPlayed);
    // The output went away or was opened anew: released at once, its counts start again.
    void Reset();

    CPttStatus GetStatus() const;

private:
    using Clock = std::chrono::steady_clock;

    void Ask();
    void Release();
    void Fail(const std::string& strWhy);
    std::int64_t SamplesOf(int nMs) const;

    CRig* const m_pRig;
    const int m_nSampleRate;

    bool m_bAsked = false;  // the key is asked for
    bool m_bReady = false;  // keyed, and the lead played out
    bool m_bVox = false;    // nothing to key for the transmission asked for
    bool m_bFailed = false; // keying failed: not asked again before the keyed audio is over
    std::uint64_t m_nRequest = 0;
    int m_nRigFailures = 0; // the rig's count when the key was asked for
    Clock::time_point m_tAsked;
    std::int64_t m_nLead = 0;
    std::int64_t m_nTail = 0;
    std::int64_t m_nReleaseAt = -1; // the first sample that a tone may take, once keyed
    std::int64_t m_nWritten = 0;
    std::int64_t m_nKeyedEnd = 0; // just past the last keyed sample written
    bool m_bTransmitterKeyed = false;

    std::atomic<int> m_nFailures{0};
    mutable std::mutex m_FailureLock;
    std::string m_strFailure; // under m_FailureLock
};
