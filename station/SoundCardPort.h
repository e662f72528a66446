#pragma once

#include "audio/CaptureStream.h"
#include "audio/PlaybackStream.h"
#include "audio/PulseClient.h"
#include "link/AudioTuning.h"
#include "link/IPort.h"
#include "modem/FeldHellReceiver.h"
#include "modem/FeldHellTransmitter.h"
#include "modem/WaterfallLines.h"
#include "station/PttKeyer.h"
#include "station/SoundCardSettings.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The sound card as the I/O thread's port, in place of a DSP board: the Feld-Hell receiver turns
// the input's audio into level bytes, the transmitter turns transmit items into the output's
// audio. The input's clock paces the slots: a read waits for the audio of its level byte. The
// output is kept topped up to a short queue of its own.
//
// Items are taken ahead while the transmitter is keyed, so that a busy machine does not leave a
// hole; receive items beyond the next one are dropped instead (they are silence), and the silence
// queued for the output is dropped when a transmission starts, so that it is heard at once.
// Immediate receive drops what is queued for the output.
//
// The operator retunes it through its CAudioTuning from any thread; the I/O thread takes the new
// tones and AFC at its next block of input, and hands on the input's spectra for the waterfall. A
// new mode is taken up once the transmitter is silent with nothing keyed queued: a transmission
// goes out whole in the mode it began in.
//
// The rig, if one is given, keys the transmitter by what the output plays (see CPttKeyer): keyed
// items wait for its key, and a failed key drops the transmission as immediate receive does.
class CSoundCardPort : public IPort
{
public:
    // The port's name in the profile and the Comm menu.
    static constexpr char kName[] = "SOUNDCARD";

    // pRig (if any) must outlive the port.
    explicit CSoundCardPort(CSoundCardSettings settings, CRig* pRig = nullptr);
    ~CSoundCardPort() override;

    const std::string& GetName() const override { return m_strName; }
    bool Open() override;
    EPortState GetState() const override { return m_nState.load(); }
    int GetDeviceError() const override { return m_nDeviceError.load(); }
    std::string GetDeviceErrorText() const override;

    std::uint32_t ReadSlot(std::stop_token stop) override;
    bool CanTransmit() const override;
    void Transmit(std::uint32_t nItem) override;
    bool WantsAnotherItem() const override;
    void FlushTransmit() override { m_bFlushRequested = true; }
    int GetUnderruns() const override { return m_nUnderrunsBefore.load() + m_Playback.GetUnderruns(); }
    CAudioTuning* GetAudioTuning() override { return &m_Tuning; }
    CPttStatus GetPttStatus() const override { return m_Keyer.GetStatus(); }
    int GetItemRate() const override { return m_nItemRate.load(); }

private:
    // Why the devices could not be had (GetDeviceError).
    enum EDeviceError
    {
        kNoError = 0,
        kNoServer = 1,
        kNoInput = 2,
        kNoOutput = 3,
    };

    bool OpenDevices();
    void CloseAsLost();
    void Flush();
    // Waits for the next block of input audio, hears it and plays as much. False when none came.
    bool ExchangeAudio();
    void FeedOutput();
    // Takes the operator's tones and AFC if they have changed, and the mode when it may.
    void FollowTuning();
    // Makes the receiver and the transmitter of a mode.
    void UseMode(int nMode);
    void OnSpectrum(std::span<const float> power);
    bool IsKeyedItemWaiting() const;
    // Whether the keyed item at the front may be played now.
    bool MayPlayKeyed() const;
    std::uint8_t NextItem();
    // Waits out a slot of a missing device, looking for it again now and then.
    void AwaitDevices(std::stop_token stop);

    const std::string m_strName = kName;
    const CSoundCardSettings m_Settings;
    CPulseClient m_Client{"Skrivel"};
    CCaptureStream m_Capture{m_Client};
    CPlaybackStream m_Playback{m_Client};
    CPttKeyer m_Keyer;
    CAudioTuning m_Tuning;
    std::atomic<int> m_nItemRate{HellModeNames::kFeldHellItemRate};

    std::atomic<EPortState> m_nState{EPortState::Waiting};
    std::atomic<int> m_nDeviceError{kNoError};
    std::atomic<int> m_nUnderrunsBefore{0}; // of outputs lost and opened again
    std::atomic<bool> m_bFlushRequested{false};
    mutable std::mutex m_ErrorLock;
    std::string m_strDeviceError; // under m_ErrorLock

    // The I/O thread's own.
    std::vector<std::uint8_t> m_Levels; // heard, from m_nNextLevel on not yet read
    std::size_t m_nNextLevel = 0;
    std::deque<std::uint8_t> m_Items; // taken, not yet played
    std::uint8_t m_nLastItem = 0;
    bool m_bMuteUntilReceive = false;  // after a flush: keyed items still queued are dropped
    bool m_bDropQueuedSilence = false; // a transmission starts: flush the output once keyed
    std::vector<float> m_Input;
    std::vector<float> m_Output;
    std::int64_t m_nWritten = 0; // samples written to the output since it was opened
    std::chrono::steady_clock::time_point m_tNextLook;
    int m_nRxToneHz; // the tuning as followed
    int m_nTxToneHz;
    bool m_bAfc;
    int m_nMode = -1;
    std::size_t m_nKeyedItemsAhead = 0; // keyed items taken ahead, at most
    std::size_t m_nStartItems = 0;      // in hand before a transmission starts
    std::size_t m_nShortItems = 0;      // too few to last until the next block
    std::size_t m_nTimeoutLevels = 0;
    std::unique_ptr<CFeldHellReceiver> m_pReceiver;
    std::unique_ptr<CFeldHellTransmitter> m_pTransmitter;
    std::unique_ptr<CWaterfallLines> m_pWaterfallLines;
};
