#pragma once

#include "link/SpectrumLine.h"

#include <atomic>
#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

// The tuning of a port that hears audio (the sound card), shared between the operator's thread,
// which sets the tones and AFC, and the I/O thread, which follows them at its next block of audio
// and tells where the receiver listens and what it hears: the spectra for the waterfall, kept
// until taken, the newest kMaxLines of them.
class CAudioTuning
{
public:
    static constexpr std::size_t kMaxLines = 64;

    // nMode: an index of HellModeNames::kAll.
    CAudioTuning(int nRxToneHz, int nTxToneHz, bool bAfc, int nMode = 0)
        : m_nRxToneHz(nRxToneHz), m_nTxToneHz(nTxToneHz), m_bAfc(bAfc), m_nMode(nMode), m_dListeningHz(nRxToneHz)
    {
    }

    // Any thread.
    void SetTones(int nRxToneHz, int nTxToneHz)
    {
        m_nRxToneHz = nRxToneHz;
        m_nTxToneHz = nTxToneHz;
    }
    int GetRxToneHz() const { return m_nRxToneHz.load(); }
    int GetTxToneHz() const { return m_nTxToneHz.load(); }
    void SetAfc(bool bOn) { m_bAfc = bOn; }
    bool IsAfcOn() const { return m_bAfc.load(); }
    // The mode asked for; the port takes it up when it next falls silent, so that a transmission
    // goes out whole in the mode it began in.
    void SetMode(int nMode) { m_nMode = nMode; }
    int GetMode() const { return m_nMode.load(); }
    double GetListeningHz() const { return m_dListeningHz.load(); }

    // The I/O thread's end.
    void SetListeningHz(double dHz) { m_dListeningHz = dHz; }
    void AddLine(CSpectrumLine line);

    // The operator's end: moves the lines heard since the last call, oldest first, to lines.
    void TakeLines(std::vector<CSpectrumLine>& lines);

private:
    std::atomic<int> m_nRxToneHz;
    std::atomic<int> m_nTxToneHz;
    std::atomic<bool> m_bAfc;
    std::atomic<int> m_nMode;
    std::atomic<double> m_dListeningHz;
    std::mutex m_LinesLock;
    std::deque<CSpectrumLine> m_Lines; // under m_LinesLock
};
