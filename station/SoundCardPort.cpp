#include "station/SoundCardPort.h"

#include "audio/AudioFormat.h"
#include "link/TxItems.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <utility>

namespace
{
constexpr char kStreamName[] = "Skrivel";
// Audio kept queued for the output: enough for the writer's steps of one input block and some
// scheduling delay, little enough that a transmission is heard at once.
constexpr double kOutputLatency = 0.15;
// Input audio held for a reader that falls behind, at most.
constexpr double kInputHeld = 2.0;
// One block of input, as the server hands it over.
constexpr auto kBlockSamples =
    static_cast<std::size_t>(CCaptureStream::kBlockSeconds * AudioFormat::kSampleRate);
// How long a read waits for input before that time is taken as silence: a block and some, well
// under the output's queue, so that the output is fed even while the input gives nothing.
constexpr auto kInputTimeout = std::chrono::milliseconds(80);
// How long the slot of a missing device lasts.
constexpr auto kSlotTimeout = std::chrono::milliseconds(200);
// The output's queue as it is kept, in samples: a little over the server's, so that the server
// starts playing at once.
constexpr std::int64_t kOutputQueued =
    static_cast<std::int64_t>(1.3 * kOutputLatency * AudioFormat::kSampleRate);
// How often missing devices are looked for.
constexpr auto kLookInterval = std::chrono::seconds(1);
// Items taken ahead while keyed, against a heartbeat held up on a busy machine.
constexpr double kKeyedSecondsAhead = 0.5;
// The output is generated in steps this long (2 ms), so that the keying knows where the keyed
// audio ends to within one.
constexpr std::size_t kKeyingStep = AudioFormat::kSampleRate / 500;

bool IsKeyed(std::uint8_t nItem)
{
    return (nItem & TxItems::kKeyed) != 0;
}
} // namespace

CSoundCardPort::CSoundCardPort(CSoundCardSettings settings, CRig* pRig)
    : m_Settings(std::move(settings)), m_Keyer(pRig, AudioFormat::kSampleRate),
      m_Tuning(m_Settings.m_nToneHz, m_Settings.m_nTxToneHz, m_Settings.m_bAfc, m_Settings.m_nMode),
      m_Input(kBlockSamples), m_Output(kBlockSamples), m_nRxToneHz(m_Settings.m_nToneHz),
      m_nTxToneHz(m_Settings.m_nTxToneHz), m_bAfc(m_Settings.m_bAfc)
{
    UseMode(m_Settings.m_nMode);
}

void CSoundCardPort::UseMode(int nMode)
{
    const CHellMode& mode = HellModes::At(nMode);
    m_nMode = nMode;
    m_pReceiver = std::make_unique<CFeldHellReceiver>(m_nRxToneHz, AudioFormat::kSampleRate, mode);
    m_pReceiver->SetAfc(m_bAfc);
    m_pReceiver->SetSpectrumHandler([this](std::span<const float> power) { OnSpectrum(power); });
    m_pTransmitter = std::make_unique<CFeldHellTransmitter>([this] { return NextItem(); }, m_nTxToneHz,
                                                            AudioFormat::kSampleRate, mode);
    if (!m_pWaterfallLines)
        m_pWaterfallLines =
            std::make_unique<CWaterfallLines>(m_pReceiver->GetBinHz(), m_pReceiver->GetBinCount());
    const auto ItemsOf = [&mode](double dSeconds)
    { return static_cast<std::size_t>(std::ceil(dSeconds * mode.GetPixelRate())); };
    m_nKeyedItemsAhead = ItemsOf(kKeyedSecondsAhead);
    m_nStartItems = ItemsOf(static_cast<double>(kOutputQueued + kBlockSamples) / AudioFormat::kSampleRate);
    m_nShortItems = ItemsOf(std::chrono::duration<double>(kInputTimeout).count());
    m_nTimeoutLevels =
        static_cast<std::size_t>(mode.GetLevelRate() * std::chrono::duration<double>(kInputTimeout).count());
    m_nItemRate = mode.GetItemRate();
}

CSoundCardPort::~CSoundCardPort()
{
    m_Capture.Close();
    m_Playback.Close();
}

bool CSoundCardPort::Open()
{
    const bool bOpened = OpenDevices();
    m_nState = bOpened ? EPortState::Open : EPortState::Waiting;
    m_tNextLook = std::chrono::steady_clock::now() + kLookInterval;
    return bOpened;
}

bool CSoundCardPort::OpenDevices()
{
    int nError = kNoError;
    std::string strError;
    if (!m_Client.Connect())
    {
        nError = kNoServer;
        strError = m_Client.GetError();
    }
    else if (!m_Capture.Open(kStreamName, m_Settings.m_strInputDevice, kInputHeld))
    {
        nError = kNoInput;
        strError = m_Capture.GetError();
    }
    else if (!m_Playback.Open(kStreamName, m_Settings.m_strOutputDevice, kOutputLatency,
                              CPlaybackStream::EPacing::Queue))
    {
        nError = kNoOutput;
        strError = m_Playback.GetError();
        m_Capture.Close();
    }
    {
        std::scoped_lock lock(m_ErrorLock);
        m_strDeviceError = strError;
    }
    m_nDeviceError = nError;
    if (nError != kNoError)
        return false;
    // The output's count of samples starts again.
    m_nWritten = 0;
    m_Keyer.Reset();
    return true;
}

std::string CSoundCardPort::GetDeviceErrorText() const
{
    std::scoped_lock lock(m_ErrorLock);
    return m_strDeviceError;
}

void CSoundCardPort::CloseAsLost()
{
    m_nUnderrunsBefore += m_Playback.GetUnderruns();
    {
        std::scoped_lock lock(m_ErrorLock);
        m_strDeviceError = m_Capture.IsLost() ? "The sound input went away." : "The sound output went away.";
    }
    m_nDeviceError = m_Capture.IsLost() ? kNoInput : kNoOutput;
    m_Capture.Close();
    m_Playback.Close();
    // Nothing plays: the transmitter is released at once. The items wait for the device.
    m_Keyer.Reset();
    m_Levels.clear();
    m_nNextLevel = 0;
    m_nState = EPortState::Lost;
    m_tNextLook = std::chrono::steady_clock::now() + kLookInterval;
}

std::uint32_t CSoundCardPort::ReadSlot(std::stop_token stop)
{
    if (m_bFlushRequested.exchange(false))
        Flush();
    if (m_nState.load() != EPortState::Open)
    {
        AwaitDevices(stop);
        return 0;
    }
    while (m_nNextLevel == m_Levels.size())
    {
        m_Levels.clear();
        m_nNextLevel = 0;
        if (!ExchangeAudio())
            return 0;
    }
    return m_Levels[m_nNextLevel++];
}

bool CSoundCardPort::ExchangeAudio()
{
    const std::size_t nRead = m_Capture.Read(m_Input.data(), m_Input.size(), kInputTimeout);
    if (m_Capture.IsLost() || m_Playback.IsLost())
    {
        CloseAsLost();
        return false;
    }
    // The input's clock paces the slots; an input that gives nothing (a monitor of an output
    // nobody plays to) is silence at the pace of the time waited.
    FollowTuning();
    if (nRead > 0)
    {
        m_pReceiver->Process(m_Input.data(), nRead, m_Levels);
        m_Tuning.SetListeningHz(m_pReceiver->GetListeningHz());
    }
    else
        m_Levels.insert(m_Levels.end(), m_nTimeoutLevels, 0);
    // A transmission starts once it may play (the keyer says the transmitter is keyed at the
    // block before, and the items behind the first have been taken since): the silence queued
    // before it is not played, unless it is the lead of a keyed rig.
    if (m_bDropQueuedSilence && MayPlayKeyed())
    {
        m_bDropQueuedSilence = false;
        if (m_Keyer.IsVox())
            m_Playback.Flush();
    }
    FeedOutput();
    if (!m_Keyer.Update(IsKeyedItemWaiting(), m_Playback.GetPlayedSamples()))
        Flush();
    return true;
}

void CSoundCardPort::FollowTuning()
{
    if (const int nRxHz = m_Tuning.GetRxToneHz(); nRxHz != m_nRxToneHz)
    {
        m_nRxToneHz = nRxHz;
        m_pReceiver->SetToneHz(nRxHz);
    }
    if (const int nTxHz = m_Tuning.GetTxToneHz(); nTxHz != m_nTxToneHz)
    {
        m_nTxToneHz = nTxHz;
        m_pTransmitter->SetToneHz(nTxHz);
    }
    if (const bool bAfc = m_Tuning.IsAfcOn(); bAfc != m_bAfc)
    {
        m_bAfc = bAfc;
        m_pReceiver->SetAfc(bAfc);
    }
    // A new mode waits until the transmitter is silent with nothing keyed queued.
    if (const int nMode = m_Tuning.GetMode();
        nMode != m_nMode && !m_pTransmitter->IsKeyed() && !IsKeyedItemWaiting())
        UseMode(nMode);
}

void CSoundCardPort::OnSpectrum(std::span<const float> power)
{
    CSpectrumLine line;
    m_pWaterfallLines->Make(power, line.m_Levels);
    line.m_dFirstHz = m_pWaterfallLines->GetFirstHz();
    line.m_dBinHz = m_pWaterfallLines->GetBinHz();
    line.m_dListeningHz = m_pReceiver->GetListeningHz();
    m_Tuning.AddLine(std::move(line));
}

void CSoundCardPort::FeedOutput()
{
    // The output keeps its own time: it is topped up to its queue, whatever the input does.
    for (std::int64_t nQueued = m_Playback.GetQueuedSamples(); nQueued < kOutputQueued;)
    {
        const auto nSamples = static_cast<std::size_t>(
            std::min<std::int64_t>(kOutputQueued - nQueued, static_cast<std::int64_t>(m_Output.size())));
        for (std::size_t nDone = 0; nDone < nSamples; nDone += kKeyingStep)
        {
            const std::size_t nStep = std::min(kKeyingStep, nSamples - nDone);
            m_pTransmitter->Generate(m_Output.data() + nDone, nStep);
            m_Keyer.OnWritten(m_nWritten + static_cast<std::int64_t>(nDone + nStep),
                              m_pTransmitter->IsKeyed());
        }
        if (!m_Playback.Write(m_Output.data(), nSamples))
            return;
        m_nWritten += static_cast<std::int64_t>(nSamples);
        nQueued += static_cast<std::int64_t>(nSamples);
    }
}

bool CSoundCardPort::IsKeyedItemWaiting() const
{
    // Keyed items lie together: the first or the last of the waiting ones is one.
    return !m_Items.empty() && (IsKeyed(m_Items.front()) || IsKeyed(m_Items.back()));
}

void CSoundCardPort::AwaitDevices(std::stop_token stop)
{
    const auto tSlotEnd = std::chrono::steady_clock::now() + kSlotTimeout;
    if (std::chrono::steady_clock::now() >= m_tNextLook)
    {
        const EPortState nWas = m_nState.load();
        m_tNextLook = std::chrono::steady_clock::now() + kLookInterval;
        if (OpenDevices())
        {
            m_nState = EPortState::Open;
            return;
        }
        m_nState = nWas;
    }
    // A missing device reads as a silent slot of the full time-out: no spinning.
    std::mutex lock;
    std::unique_lock hold(lock);
    std::condition_variable_any().wait_until(hold, stop, tSlotEnd, [] { return false; });
}

void CSoundCardPort::Transmit(std::uint32_t nItem)
{
    const auto nByte = static_cast<std::uint8_t>(nItem & 0xFF);
    const bool bKeyed = IsKeyed(nByte);
    if (m_bMuteUntilReceive)
    {
        if (bKeyed)
            return;
        m_bMuteUntilReceive = false;
    }
    const bool bQueuedKeyed = !m_Items.empty() && IsKeyed(m_Items.back());
    // Silence ahead of silence only delays what comes next.
    if (!bKeyed && !m_Items.empty() && !bQueuedKeyed)
        return;
    // The first keyed item after silence: once the items taken with it are in, the output's queue,
    // all silence, is dropped, so that the transmission is heard at once.
    if (bKeyed && !bQueuedKeyed && !m_Keyer.IsKeyedAudioAhead(m_Playback.GetPlayedSamples()))
        m_bDropQueuedSilence = true;
    m_Items.push_back(nByte);
}

bool CSoundCardPort::CanTransmit() const
{
    // Receive items are always taken (all but the next one are dropped), so that none waits in
    // front of a transmission. During one, a filler is taken only when the items in hand would
    // not last until the next block: a late heartbeat then costs a whole blank column, never a
    // hole or a pixel out of place, and the items taken ahead never hold one.
    if (m_nState.load() != EPortState::Open)
        return false;
    const bool bKeyed = !m_Items.empty() && IsKeyed(m_Items.back());
    return !bKeyed || (m_Keyer.IsReady() && m_pTransmitter->IsKeyed() && m_Items.size() < m_nShortItems);
}

bool CSoundCardPort::WantsAnotherItem() const
{
    // Keyed items are taken ahead up to a limit, the output's own pace. While the transmitter is
    // being keyed no more are taken: should keying fail, the text behind them is not lost.
    if (m_nState.load() != EPortState::Open)
        return false;
    const bool bKeyed = !m_Items.empty() && IsKeyed(m_Items.back());
    return !bKeyed || (m_Keyer.IsReady() && m_Items.size() < m_nKeyedItemsAhead);
}

bool CSoundCardPort::MayPlayKeyed() const
{
    // A transmission starts with enough in hand to fill the output's queue, or with the whole of
    // it (a receive item behind its last), so that at a fast pace the heartbeat's refills are
    // ahead of it from its first column on.
    return m_Keyer.IsReady() && (m_pTransmitter->IsKeyed() || m_Items.size() >= m_nStartItems ||
                                 m_Items.empty() || !IsKeyed(m_Items.back()));
}

std::uint8_t CSoundCardPort::NextItem()
{
    // A dry queue keeps the key as it was, with no tone; so does a keyed item that waits for the
    // transmitter's key or for the start of its transmission.
    if (m_Items.empty() || (IsKeyed(m_Items.front()) && !MayPlayKeyed()))
        return m_nLastItem & TxItems::kKeyed;
    m_nLastItem = m_Items.front();
    m_Items.pop_front();
    return m_nLastItem;
}

void CSoundCardPort::Flush()
{
    m_Items.clear();
    m_nLastItem = 0;
    m_bMuteUntilReceive = true;
    m_bDropQueuedSilence = false;
    m_Playback.Flush();
    // Silence follows at once, so that the emptied output does not run dry.
    FeedOutput();
}
