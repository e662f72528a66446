#pragma once

#include "audio/PulseStream.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

// Audio from an input device, 8000 mono float samples a second, handed over as it comes (in
// blocks of about kBlockSeconds). A reader may wait for it, and so keep the pace of the device's clock.
class CCaptureStream : public CPulseStream
{
public:
    // The audio held for a reader who does not take it, in seconds, unless Open is told otherwise.
    static constexpr double kDefaultMaxHeld = 2.0;
    // How often the server hands audio over: each block wakes the reader once, so blocks are no
    // shorter than its work needs.
    static constexpr double kBlockSeconds = 0.04;

    explicit CCaptureStream(CPulseClient& client);
    ~CCaptureStream() override;

    // Opens the input named strDevice (an output's monitor too; empty for the server's default) as
    // strStreamName. Of what the reader has not taken, the newest dMaxHeld seconds are kept and
    // older samples dropped. Closes it first if open. False, with GetError, when it cannot be
    // opened.
    bool Open(const std::string& strStreamName, const std::string& strDevice,
              double dMaxHeld = kDefaultMaxHeld);
    // Takes up to nSamples, oldest first: waits until there are nSamples (or half the most held),
    // or the timeout passes, or the stream is lost or closed, whichever comes first; gives how
    // many it took. Never takes the client's lock, so a reader at a steady pace waits only for
    // the device.
    std::size_t Read(float* pSamples, std::size_t nSamples, std::chrono::milliseconds timeout);
    // Samples waiting to be read.
    std::size_t GetAvailable() const;
    // Samples dropped since Open because the reader left more than the most held.
    std::int64_t GetDropped() const;

private:
    bool ConnectStream(pa_stream* p, const char* pszDevice, unsigned nFlags) override;
    void OnEnded() override;
    static void OnReadable(pa_stream* p, std::size_t nBytes, void* pv);
    // On the event thread: appends nSamples (silence for a null pData, a gap the server reported).
    void Take(const float* pData, std::size_t nSamples);

    mutable std::mutex m_HeldLock;
    std::condition_variable m_HeldSignal;
    std::deque<float> m_Held;    // under m_HeldLock
    std::size_t m_nMaxHeld = 0;  // under m_HeldLock
    std::int64_t m_nDropped = 0; // under m_HeldLock
    bool m_bFlowing = false;     // under m_HeldLock: open and not lost
};
