#include "doc/SkrivelDoc.h"

#include "doc/FileErrorText.h"
#include "doc/IDocHost.h"
#include "doc/IProfile.h"
#include "doc/IRxDisplay.h"
#include "doc/IWaterfallDisplay.h"
#include "doc/IXmitSource.h"
#include "doc/ProfileSettings.h"
#include "doc/RxDataJob.h"
#include "engine/AsciiCase.h"
#include "engine/FeldHellEncoder.h"
#include "engine/MorseEncoder.h"
#include "engine/RegularFile.h"
#include "link/AudioTuning.h"
#include "link/PortName.h"
#include "link/HellModeNames.h"
#include "link/TxItems.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <utility>

namespace
{
// The transmit queue is topped up only while it holds fewer items than this at Feld-Hell's pace;
// a faster port's mark is as much higher, so that the queue lasts as long between heartbeats.
constexpr std::size_t kRefillMark = 28;
constexpr int kSpace = ' ';
constexpr int kDiddle = 1;
constexpr char kPttFailedText[] =
    "The transmitter could not be keyed, so the transmission was stopped. The text not yet sent is kept.";

// The largest receive-data file that is loaded: half the computer's memory. A larger one would
// only end in the program being killed for want of memory.
std::uint64_t MaxLoadBytes()
{
    const long nPages = ::sysconf(_SC_PHYS_PAGES);
    const long nPageSize = ::sysconf(_SC_PAGESIZE);
    if (nPages <= 0 || nPageSize <= 0)
        return UINT64_MAX;
    return static_cast<std::uint64_t>(nPages) * static_cast<std::uint64_t>(nPageSize) / 2;
}

// Opens a receive-data file for loading: a regular file that fits in memory. Gives 0 and the
// descriptor, or an errno.
int OpenForLoading(const std::string& strPath, int& fd)
{
    std::uint64_t nSize = 0;
    if (const int nError = RegularFile::OpenForReading(strPath, fd, nSize); nError != 0)
        return nError;
    if (nSize <= MaxLoadBytes())
        return 0;
    ::close(fd);
    fd = -1;
    return EFBIG;
}
} // namespace

CSkrivelDoc::CSkrivelDoc(IProfile& profile, IDocHost& host) : m_Profile(profile), m_Host(host) {}

CSkrivelDoc::~CSkrivelDoc()
{
    // A save under way is finished: the operator asked for that file.
    WaitForFileWork();
    m_Link.StopIoThread();
    ProfileSettings::Write(m_Profile, ProfileSettings::kPort, m_Link.GetPortName());
    ProfileSettings::Write(m_Profile, ProfileSettings::kUpperCase, m_bUpperCase);
    ProfileSettings::Write(m_Profile, ProfileSettings::kReverseVideo, m_bReverseVideo);
    ProfileSettings::Write(m_Profile, ProfileSettings::kPictureBrightness, m_Picture.nBrightness);
    ProfileSettings::Write(m_Profile, ProfileSettings::kPictureContrast, m_Picture.nContrast);
    ProfileSettings::Write(m_Profile, ProfileSettings::kPictureZoom, m_Picture.nZoom);
    ProfileSettings::Write(m_Profile, ProfileSettings::kPictureSlant, m_Picture.nSlant);
    ProfileSettings::Write(m_Profile, ProfileSettings::kFullDuplex, m_bFullDuplex);
    ProfileSettings::Write(m_Profile, ProfileSettings::kUseDiddle, m_bUseDiddle);
    m_Link.ClosePort();
}

bool CSkrivelDoc::OnNewDocument()
{
    m_bTransmitting = m_bTxStarting = m_bTxIdle = m_bFinishTx = false;
    m_bDisplayOn = true;

    m_bFullDuplex = ProfileSettings::Read(m_Profile, ProfileSettings::kFullDuplex);
    m_bUpperCase = ProfileSettings::Read(m_Profile, ProfileSettings::kUpperCase);
    m_bReverseVideo = ProfileSettings::Read(m_Profile, ProfileSettings::kReverseVideo);
    m_Picture = SPictureSettings{ProfileSettings::Read(m_Profile, ProfileSettings::kPictureBrightness),
                                 ProfileSettings::Read(m_Profile, ProfileSettings::kPictureContrast),
                                 ProfileSettings::Read(m_Profile, ProfileSettings::kPictureZoom),
                                 ProfileSettings::Read(m_Profile, ProfileSettings::kPictureSlant)}
                    .Clamped();
    m_bUseDiddle = ProfileSettings::Read(m_Profile, ProfileSettings::kUseDiddle);

    m_strFontFileName = ProfileSettings::Read(m_Profile, ProfileSettings::kFontFileName);
    LoadFont();

    DeleteContents();
    m_strPathName.clear();
    m_bModified = false;

    // A device that is not there yet (a board started later, an adapter plugged in later) is
    // waited for: the operator's setting is kept, and shown with its state in the status bar.
    m_SeenPtt = {};
    m_Link.OpenOrAwaitPort(ProfileSettings::Read(m_Profile, ProfileSettings::kPort));

    for (int i = 0; i < kXmitMessages; ++i)
        m_strXmitMessages[i] = ProfileSettings::Read(m_Profile, ProfileSettings::kXmitMessages, i);
    return true;
}

void CSkrivelDoc::OnCloseDocument()
{
    for (int i = 0; i < kXmitMessages; ++i)
        ProfileSettings::Write(m_Profile, ProfileSettings::kXmitMessages, i, m_strXmitMessages[i]);
}

void CSkrivelDoc::LoadFont()
{
    if (!m_HellFont.Load(CHellFont::Resolve(m_strFontFileName, m_FontDataDirs)))
        m_Host.ShowMessage("Can't open font file " + m_strFontFileName);
}

void CSkrivelDoc::DeleteContents()
{
    ResetRxStore();
    if (m_pRxDisplay != nullptr)
        m_pRxDisplay->ScrollToEnd();
    UpdateAllViews();
}

void CSkrivelDoc::ResetRxStore()
{
    // A save under way may still be reading the pages: it keeps them until it is done.
    if (m_pRxDataJob)
        m_pRxDataJob->KeepPages(m_RxStore.ReleasePages());
    m_RxStore.Reset();
    m_RxDuringLoad.clear();
    m_nRxDropped = 0;
}

void CSkrivelDoc::UpdateAllViews()
{
    if (m_pRxDisplay != nullptr)
        m_pRxDisplay->OnUpdate();
}

// ---- Receive-data files ------------------------------------------------------------------------

bool CSkrivelDoc::BeginOpenDocument(const std::string& strPath, FileDoneHandler onDone)
{
    WaitForFileWork();
    int fd = -1;
    if (const int nError = OpenForLoading(strPath, fd); nError != 0)
    {
        ShowFileError(FileErrorText::Operation::Open, nError, strPath);
        return false;
    }
    m_RxDuringLoad.clear();
    m_OnFileDone = std::move(onDone);
    m_pRxDataJob = std::make_unique<CRxDataJob>(strPath, fd);
    return true;
}

void CSkrivelDoc::BeginSaveDocument(const std::string& strPath, FileDoneHandler onDone)
{
    WaitForFileWork();
    // The bytes stored so far, where they lie: the store only appends behind them meanwhile.
    std::vector<CRxDataJob::CRun> runs;
    for (int nPage = 0; nPage < m_RxStore.m_nRxPages; ++nPage)
        runs.push_back({m_RxStore.m_RxPages[nPage]->data(), m_RxStore.GetPageByteCount(nPage)});
    m_nSavedByteCount = m_RxStore.GetByteCount();
    m_OnFileDone = std::move(onDone);
    m_pRxDataJob = std::make_unique<CRxDataJob>(strPath, std::move(runs));
}

bool CSkrivelDoc::WaitForFileWork()
{
    if (m_pRxDataJob)
    {
        m_pRxDataJob->Wait();
        FinishFileWork();
    }
    return m_bLastFileResult;
}

bool CSkrivelDoc::OnOpenDocument(const std::string& strPath)
{
    return BeginOpenDocument(strPath) && WaitForFileWork();
}

bool CSkrivelDoc::OnSaveDocument(const std::string& strPath)
{
    BeginSaveDocument(strPath);
    return WaitForFileWork();
}

void CSkrivelDoc::FinishFileWork()
{
    const std::unique_ptr<CRxDataJob> pJob = std::move(m_pRxDataJob);
    pJob->Wait();
    const FileDoneHandler onDone = std::move(m_OnFileDone);
    m_OnFileDone = {};
    const bool bLoad = pJob->GetKind() == CRxDataJob::Kind::Load;
    m_bLastFileResult = pJob->GetError() == 0;
    if (bLoad)
        TakeLoadedStore(*pJob);
    if (!m_bLastFileResult)
        ShowFileError(pJob->GetFailedOperation(), pJob->GetError(), pJob->GetPath());
    else
    {
        m_strPathName = pJob->GetPath();
        // What arrived while the file was written is not in it.
        m_bModified = bLoad ? !m_RxDuringLoad.empty() : m_RxStore.GetByteCount() != m_nSavedByteCount;
    }
    m_RxDuringLoad.clear();
    if (onDone)
        onDone(m_bLastFileResult);
}

void CSkrivelDoc::TakeLoadedStore(CRxDataJob& job)
{
    // The picture becomes the file's (or, after a failed read, empty), followed by what was
    // received while it loaded, as if the load had taken no time at all.
    m_RxStore = std::move(job.GetLoadedStore());
    if (m_RxStore.m_nRxPages == 0)
        m_RxStore.Reset();
    m_RxStore.Append(m_RxDuringLoad.data(), m_RxDuringLoad.size());
    if (m_pRxDisplay != nullptr)
        m_pRxDisplay->ScrollToEnd();
    UpdateAllViews();
}

void CSkrivelDoc::ShowFileError(FileErrorText::Operation op, int nError, const std::string& strPath)
{
    m_Host.ShowMessage(FileErrorText::For(op, nError, strPath),
                       FileErrorText::DetailFor(op, nError, strPath));
}

// ---- The heartbeat -----------------------------------------------------------------------------

void CSkrivelDoc::Tick()
{
    if (m_bInTick)
        return;
    m_bInTick = true;
    const std::string_view strStatusBefore = GetStatusText();
    DrainRxQueue();
    DrainSpectra();
    NoticeLinkChange();
    RefillTxQueue();
    // What the operator sees follows what the heartbeat changed: the operating state (typed text
    // ending an idle spell), the end of a transmission, dropped samples, the port. The full update
    // runs only then, with no lock held.
    if (std::exchange(m_bIdleUpdatePending, false) || GetStatusText() != strStatusBefore)
        m_Host.OnIdle();
    m_bInTick = false;
    // Outside the guard, so that these messages do not hold up the heartbeats that run while
    // they are shown.
    if (!m_strPttFailure.empty())
        m_Host.ShowMessage(kPttFailedText, std::exchange(m_strPttFailure, {}));
    if (m_pRxDataJob && m_pRxDataJob->IsDone())
        FinishFileWork();
}

void CSkrivelDoc::NoticeLinkChange()
{
    const CSerialLink::EState nState = m_Link.GetState();
    const int nDeviceError = m_Link.GetDeviceError();
    const int nUnderruns = m_Link.GetUnderruns();
    CPttStatus ptt = m_Link.GetPttStatus();
    if (ptt.m_nFailures > m_SeenPtt.m_nFailures)
    {
        // The port has dropped what it held, as for immediate receive; the text not taken yet
        // stays unsent.
        OnImmediateReceive();
        m_strPttFailure = ptt.m_strFailure;
    }
    if (nState == m_nSeenLinkState && nDeviceError == m_nSeenDeviceError && nUnderruns == m_nSeenUnderruns &&
        ptt == m_SeenPtt)
        return;
    m_nSeenLinkState = nState;
    m_nSeenDeviceError = nDeviceError;
    m_nSeenUnderruns = nUnderruns;
    m_SeenPtt = std::move(ptt);
    m_bIdleUpdatePending = true;
}

void CSkrivelDoc::DrainRxQueue()
{
    // The lock is held only to take the waiting samples; the I/O thread can append while they
    // are stored and painted, and the next round takes what arrived meanwhile.
    for (;;)
    {
        m_RxBatch.clear();
        if (const std::uint64_t nDropped = m_Queues.TakeAllRx(m_RxBatch); nDropped != 0)
        {
            m_nRxDropped += nDropped;
            m_bIdleUpdatePending = true;
        }
        if (m_RxBatch.empty())
            return;
        if (!m_bDisplayOn || (m_bTransmitting && !m_bFullDuplex))
            continue;
        const bool bLoading = m_pRxDataJob && m_pRxDataJob->GetKind() == CRxDataJob::Kind::Load;
        for (const std::uint32_t nItem : m_RxBatch)
        {
            StoreRxPixel(static_cast<std::uint8_t>(nItem & 0xFF), true);
            if (bLoading)
                m_RxDuringLoad.push_back(static_cast<std::uint8_t>(nItem & 0xFF));
        }
    }
}

void CSkrivelDoc::DrainSpectra()
{
    CAudioTuning* pTuning = m_Link.GetAudioTuning();
    if (pTuning == nullptr)
        return;
    m_SpectrumBatch.clear();
    pTuning->TakeLines(m_SpectrumBatch);
    if (m_pWaterfallDisplay == nullptr)
        return;
    for (const CSpectrumLine& line : m_SpectrumBatch)
        m_pWaterfallDisplay->AddSpectrumLine(line);
}

void CSkrivelDoc::RefillTxQueue()
{
    // No lock is held while the character is chosen and encoded: the I/O thread only takes items
    // meanwhile, so the count can only fall, and the character's items go in all at once.
    const auto nItemRate = static_cast<std::size_t>(m_Link.GetItemRate());
    constexpr auto nFeldHellRate = static_cast<std::size_t>(HellModeNames::kFeldHellItemRate);
    if (m_Queues.GetTxCount() >= (kRefillMark * nItemRate + nFeldHellRate - 1) / nFeldHellRate)
        return;
    int nChar = -1;
    bool bXmit = false;
    bool bMorse = false;
    GetCharToSend(nChar, bXmit, bMorse);
    if (!bXmit)
        m_TxBatch.AddTail(TxItems::kReceive, TxItems::kColumnItems);
    else if (!bMorse)
        FeldHellEncoder::AppendItems(m_HellFont, nChar, m_TxBatch);
    else
        MorseEncoder::AppendItems(nChar, m_TxBatch);
    m_Queues.AddTx(m_TxBatch);
}

void CSkrivelDoc::GetCharToSend(int& nChar, bool& bXmit, bool& bMorse)
{
    bMorse = false;
    bXmit = false;
    nChar = -1;
    if (!m_bTransmitting)
        return;
    bXmit = true;

    int c = -1;
    if (m_bTxStarting)
    {
        c = kSpace;
        m_bTxStarting = --m_nLeadInSpaces > 0;
    }
    else if (m_pXmitSource != nullptr)
    {
        m_pXmitSource->GetNextXmitChar(c, bMorse);
        if (m_bUpperCase && c != -1)
            c = AsciiCase::ToUpper(c);
    }
    if (c != -1)
    {
        m_bTxIdle = false;
        nChar = c;
        return;
    }

    bMorse = false;
    if (m_bFinishTx)
    {
        m_bTransmitting = m_bFinishTx = m_bTxIdle = false;
        nChar = kSpace;
    }
    else
    {
        m_bTxIdle = true;
        nChar = m_bUseDiddle ? kDiddle : kSpace;
    }
    // The commands' states follow at the end of this heartbeat.
    m_bIdleUpdatePending = true;
}

const char* CSkrivelDoc::GetStatusText() const
{
    if (!m_bTransmitting)
        return "Receiving";
    if (m_bTxIdle)
        return "Idling";
    if (m_bFinishTx)
        return "Finishing Transmission";
    return "Transmitting";
}

std::string CSkrivelDoc::GetPortStatusText() const
{
    switch (m_Link.GetState())
    {
    case CSerialLink::EState::NoPort:
        return "no port";
    case CSerialLink::EState::Open:
        break;
    case CSerialLink::EState::Waiting:
        return GetPortName() + ": waiting for the device";
    case CSerialLink::EState::Lost:
        return GetPortName() + ": lost";
    }
    // Holes in the transmitted audio are never silent.
    if (const int nUnderruns = m_Link.GetUnderruns(); nUnderruns > 0)
        return GetPortName() + ": " + std::to_string(nUnderruns) + (nUnderruns == 1 ? " underrun" : " underruns");
    return GetPortName();
}

std::string CSkrivelDoc::GetPttStatusText() const
{
    switch (m_SeenPtt.m_nState)
    {
    case EPttState::None:
        break;
    case EPttState::Vox:
        return "VOX";
    case EPttState::Off:
        return "PTT off";
    case EPttState::On:
        return "PTT ON";
    case EPttState::NoRig:
        return "PTT: no rig";
    }
    return {};
}

std::string CSkrivelDoc::GetPortProblemText() const
{
    const CSerialLink::EState nState = m_Link.GetState();
    if (nState != CSerialLink::EState::Waiting && nState != CSerialLink::EState::Lost)
        return {};
    return m_Link.GetDeviceErrorText();
}

void CSkrivelDoc::StoreRxPixel(std::uint8_t nValue, bool bLive)
{
    m_bModified = true;
    const CRxStore::Progress progress = m_RxStore.Store(nValue);
    if (!bLive || progress == CRxStore::Progress::None || m_pRxDisplay == nullptr)
        return;
    if (progress == CRxStore::Progress::Column)
    {
        m_pRxDisplay->PaintColumn(m_RxStore.m_nRxPage, m_RxStore.m_nRxColumn - 1);
        return;
    }
    m_pRxDisplay->PaintColumn(m_RxStore.m_nRxPage - 1, CRxStore::kColumnsPerPage - 1);
    m_pRxDisplay->UpdateScrollSizes();
    m_pRxDisplay->FollowEnd();
}

// ---- Tuning ------------------------------------------------------------------------------------

int CSkrivelDoc::GetToneHz() const
{
    const CAudioTuning* pTuning = m_Link.GetAudioTuning();
    return pTuning != nullptr ? pTuning->GetRxToneHz() : ProfileSettings::Read(m_Profile, ProfileSettings::kAudioTone);
}

int CSkrivelDoc::GetTxToneHz() const
{
    if (const CAudioTuning* pTuning = m_Link.GetAudioTuning())
        return pTuning->GetTxToneHz();
    return IsSplit() ? ProfileSettings::Read(m_Profile, ProfileSettings::kAudioTxTone) : GetToneHz();
}

double CSkrivelDoc::GetListeningHz() const
{
    const CAudioTuning* pTuning = m_Link.GetAudioTuning();
    return pTuning != nullptr ? pTuning->GetListeningHz() : GetToneHz();
}

bool CSkrivelDoc::IsAfcOn() const
{
    const CAudioTuning* pTuning = m_Link.GetAudioTuning();
    return pTuning != nullptr ? pTuning->IsAfcOn() : ProfileSettings::Read(m_Profile, ProfileSettings::kAudioAfc);
}

bool CSkrivelDoc::IsSplit() const
{
    return ProfileSettings::Read(m_Profile, ProfileSettings::kAudioSplit);
}

void CSkrivelDoc::SetToneHz(int nHz)
{
    const int nTxHz = IsSplit() ? GetTxToneHz() : nHz;
    ProfileSettings::Write(m_Profile, ProfileSettings::kAudioTone, nHz);
    ProfileSettings::Write(m_Profile, ProfileSettings::kAudioTxTone, nTxHz);
    if (CAudioTuning* pTuning = m_Link.GetAudioTuning())
        pTuning->SetTones(nHz, nTxHz);
}

void CSkrivelDoc::OnAfc()
{
    const bool bAfc = !IsAfcOn();
    ProfileSettings::Write(m_Profile, ProfileSettings::kAudioAfc, bAfc);
    if (CAudioTuning* pTuning = m_Link.GetAudioTuning())
        pTuning->SetAfc(bAfc);
}

void CSkrivelDoc::OnSplit()
{
    const bool bSplit = !IsSplit();
    ProfileSettings::Write(m_Profile, ProfileSettings::kAudioSplit, bSplit);
    // Split on, the transmit tone stays where it is, on the tone listened to; off, it joins that tone.
    if (!bSplit)
        SetToneHz(GetToneHz());
}

int CSkrivelDoc::GetMode() const
{
    const CAudioTuning* pTuning = m_Link.GetAudioTuning();
    return pTuning != nullptr ? pTuning->GetMode() : 0;
}

int CSkrivelDoc::GetStoredMode() const
{
    return std::max(0, HellModeNames::IndexOf(ProfileSettings::Read(m_Profile, ProfileSettings::kMode)));
}

void CSkrivelDoc::SetMode(int nMode)
{
    ProfileSettings::Write(m_Profile, ProfileSettings::kMode,
                           std::string(HellModeNames::kAll.at(static_cast<std::size_t>(nMode)).m_strWord));
    if (CAudioTuning* pTuning = m_Link.GetAudioTuning(); pTuning != nullptr)
        pTuning->SetMode(nMode);
}

// ---- Operator commands -------------------------------------------------------------------------

void CSkrivelDoc::OnTransmit()
{
    if (!m_bTransmitting)
    {
        m_bTransmitting = true;
        m_bTxStarting = true;
        // The lead-in lasts as long at every pace (a space at Feld-Hell's): it gives the
        // transmitter's audio path, VOX and the other station's receiver time to settle.
        const int nItemRate = m_Link.GetItemRate();
        m_nLeadInSpaces = std::max(1, (nItemRate + HellModeNames::kFeldHellItemRate / 2) / HellModeNames::kFeldHellItemRate);
    }
    m_bFinishTx = false;
}

void CSkrivelDoc::OnReceive()
{
    if (m_bTransmitting)
        m_bFinishTx = true;
}

void CSkrivelDoc::OnImmediateReceive()
{
    m_bTransmitting = m_bFinishTx = m_bTxIdle = m_bTxStarting = false;
    // A port that holds audio ahead (a sound card) falls silent at once; a board is left as is.
    m_Link.FlushTransmit();
}

void CSkrivelDoc::OnClearTxBuffer()
{
    if (m_pXmitSource != nullptr)
        m_pXmitSource->ClearUnsentText();
}

void CSkrivelDoc::OnBlackOnWhite()
{
    m_bReverseVideo = true;
    UpdateAllViews();
}

void CSkrivelDoc::OnWhiteOnBlack()
{
    m_bReverseVideo = false;
    UpdateAllViews();
}

void CSkrivelDoc::SetPicture(const SPictureSettings& settings)
{
    m_Picture = settings.Clamped();
    UpdateAllViews();
}

void CSkrivelDoc::OnClearRx()
{
    ResetRxStore();
    UpdateAllViews();
}

bool CSkrivelDoc::OpenPort(const std::string& strName)
{
    // A new port counts its keying failures from none.
    m_SeenPtt = {};
    return m_Link.OpenPort(strName);
}

void CSkrivelDoc::OnSelectPort(const std::string& strName)
{
    if (strName == PortName::kDummy)
        OnDummyPort();
    else
        OpenPortForOperator(strName);
}

void CSkrivelDoc::OpenPortForOperator(const std::string& strName)
{
    if (!OpenPort(strName))
        m_Host.ShowMessage("Can't open port " + strName, m_Link.GetOpenErrorText());
}
