#pragma once

#include "board/BoardSettings.h"

#include <array>
#include <complex>
#include <cstdint>
#include <memory>
#include <random>
#include <span>
#include <vector>

class CHellFont;
class CFader;
class CFeldHellReceiver;
class CRemoteStation;
class CFeldHellTransmitter;
class IAudioSink;
class IAudioSource;

// The board (or a pair of boards) and the channel between them, as a pure function of time:
// every call of StepPixel is one pixel time of the mode (1/245 s at Feld-Hell), of which it makes the audio of each
// transmitter, what each board hears, and the two level bytes each receiver gives. It keeps no
// clock, so it runs as fast as it is called: in real time behind the serial port, or faster for
// measurements.
class CBoardEngine
{
public:
    // The level of the transmitted audio that goes to files and the sound card, below full scale.
    static constexpr float kTxAudioLevel = 0.5f;

    using Levels = std::array<std::uint8_t, 2>;

    // The font must outlive the engine.
    CBoardEngine(const CBoardSettings& settings, const CHellFont& font);
    ~CBoardEngine();
    CBoardEngine(const CBoardEngine&) = delete;
    CBoardEngine& operator=(const CBoardEngine&) = delete;

    int GetBoardCount() const { return static_cast<int>(m_Boards.size()); }
    const CHellMode& GetMode() const { return m_Settings.m_Mode; }

    // The first board hears this source instead of the simulated channel (its own transmitter
    // still, when monitoring). Null for the channel again. The source must outlive its use.
    void SetReceivedAudio(IAudioSource* pSource) { m_pSource = pSource; }
    // The first board's transmitted audio also goes to pSink (at kTxAudioLevel).
    void AddTransmitSink(IAudioSink* pSink) { m_Sinks.push_back(pSink); }

    // One pixel time: txBytes[b] is the byte board b's transmitter got for this pixel (bit 2
    // keys it, bit 1 turns on the tone); levels[b] receives board b's two level bytes.
    void StepPixel(std::span<const std::uint8_t> txBytes, std::span<Levels> levels);

    // Runs nPixels pixel times with every transmitter off, as fast as it can, and gives what the
    // first board received: for measurements of the channel and the receiver.
    std::vector<std::uint8_t> RunReceiving(std::int64_t nPixels);

    // Where board nBoard's receiver listens (AFC).
    double GetListeningHz(int nBoard) const;

    // The simulated remote station, or null.
    const CRemoteStation* GetRemote() const { return m_pRemote.get(); }

private:
    struct CBoard;

    void Hear(CBoard& board, int nBoard, std::size_t nSamples);

    CBoardSettings m_Settings;
    float m_fNoiseSigma = 0.0f;
    std::vector<std::unique_ptr<CBoard>> m_Boards;
    std::unique_ptr<CRemoteStation> m_pRemote;
    std::vector<std::complex<float>> m_Remote;
    std::vector<float> m_TxAudio;
    IAudioSource* m_pSource = nullptr;
    std::vector<IAudioSink*> m_Sinks;
    std::int64_t m_nPixel = 0;
};
