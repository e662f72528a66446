#include "doc/SkrivelDoc.h"

#include "doc/Archive.h"
#include "doc/AtomicFile.h"
#include "doc/FileErrorText.h"
#include "doc/IDocHost.h"
#include "doc/IProfile.h"
#include "doc/IRxDisplay.h"
#include "doc/IXmitSource.h"
#include "doc/RegularFile.h"
#include "engine/AsciiCase.h"
#include "engine/FeldHellEncoder.h"
#include "engine/MorseEncoder.h"
#include "engine/TxItems.h"

#include <unistd.h>

#include <cerrno>

namespace
{
// Profile sections and keys.
const char kSectionTx[] = "Tx";
const char kSectionComm[] = "Comm";
const char kSectionXmitMessages[] = "XmitMessages";

// The transmit queue is topped up only while it holds fewer items than this.
constexpr std::size_t kRefillMark = 28;
constexpr int kSpace = ' ';
constexpr int kDiddle = 1;

std::string MessageKey(int i)
{
    return "Message" + std::to_string(i);
}

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

bool CSkrivelDoc::s_bInTick = false;

CSkrivelDoc::CSkrivelDoc(IProfile& profile, IDocHost& host) : m_Profile(profile), m_Host(host) {}

CSkrivelDoc::~CSkrivelDoc()
{
    m_Link.StopIoThread();
    m_Profile.WriteProfileString(kSectionComm, "Port", m_Link.GetPortName());
    m_Profile.WriteProfileInt(kSectionTx, "UpperCase", m_bUpperCase ? 1 : 0);
    m_Profile.WriteProfileInt(kSectionTx, "ReverseVideo", m_bReverseVideo ? 1 : 0);
    m_Profile.WriteProfileInt(kSectionTx, "FullDuplex", m_bFullDuplex ? 1 : 0);
    m_Profile.WriteProfileInt(kSectionTx, "UseDiddle", m_bUseDiddle ? 1 : 0);
    m_Link.ClosePort();
}

bool CSkrivelDoc::OnNewDocument()
{
    m_bTransmitting = m_bTxStarting = m_bTxIdle = m_bFinishTx = false;
    m_bDisplayOn = true;

    m_bFullDuplex = m_Profile.GetProfileInt(kSectionTx, "FullDuplex", 1) != 0;
    m_bUpperCase = m_Profile.GetProfileInt(kSectionTx, "UpperCase", 1) != 0;
    m_bReverseVideo = m_Profile.GetProfileInt(kSectionTx, "ReverseVideo", 0) != 0;
    m_bUseDiddle = m_Profile.GetProfileInt(kSectionTx, "UseDiddle", 1) != 0;

    m_strFontFileName = m_Profile.GetProfileString(kSectionTx, "FontFileName", "hellfont.hlf");
    LoadFont();

    DeleteContents();
    m_strPathName.clear();
    m_bModified = false;

    OpenPort(m_Profile.GetProfileString(kSectionComm, "Port", "DUMMY"));

    for (int i = 0; i < kXmitMessages; ++i)
        m_strXmitMessages[i] = m_Profile.GetProfileString(kSectionXmitMessages, MessageKey(i), "");
    return true;
}

void CSkrivelDoc::OnCloseDocument()
{
    for (int i = 0; i < kXmitMessages; ++i)
        m_Profile.WriteProfileString(kSectionXmitMessages, MessageKey(i), m_strXmitMessages[i]);
}

void CSkrivelDoc::LoadFont()
{
    if (!m_HellFont.Load(CHellFont::Resolve(m_strFontFileName, m_FontDataDirs)))
        m_Host.ShowMessage("Can't open font file " + m_strFontFileName);
}

void CSkrivelDoc::DeleteContents()
{
    m_RxStore.Reset();
    if (m_pRxDisplay != nullptr)
        m_pRxDisplay->ScrollToEnd();
    UpdateAllViews();
}

void CSkrivelDoc::UpdateAllViews()
{
    if (m_pRxDisplay != nullptr)
        m_pRxDisplay->OnUpdate();
}

// ---- Receive-data files ------------------------------------------------------------------------

bool CSkrivelDoc::OnOpenDocument(const std::string& strPath)
{
    int fd = -1;
    if (const int nError = OpenForLoading(strPath, fd); nError != 0)
    {
        ShowFileError(FileErrorText::Operation::Open, nError, strPath);
        return false;
    }
    DeleteContents();
    int nError = 0;
    {
        CArchive ar(fd, CArchive::Mode::Load);
        Serialize(ar);
        nError = ar.GetError();
    }
    ::close(fd);
    if (nError != 0)
    {
        ShowFileError(FileErrorText::Operation::Read, nError, strPath);
        DeleteContents();
        return false;
    }
    m_bModified = false;
    m_strPathName = strPath;
    return true;
}

bool CSkrivelDoc::OnSaveDocument(const std::string& strPath)
{
    CAtomicFile file;
    int nError = file.Create(strPath);
    if (nError == 0)
    {
        CArchive ar(file.GetDescriptor(), CArchive::Mode::Store);
        Serialize(ar);
        ar.Flush();
        nError = ar.GetError();
    }
    if (nError == 0)
        nError = file.Commit();
    if (nError != 0)
    {
        ShowFileError(FileErrorText::Operation::Save, nError, strPath);
        return false;
    }
    m_bModified = false;
    m_strPathName = strPath;
    return true;
}

void CSkrivelDoc::ShowFileError(FileErrorText::Operation op, int nError, const std::string& strPath)
{
    m_Host.ShowMessage(FileErrorText::For(op, nError, strPath),
                       FileErrorText::DetailFor(op, nError, strPath));
}

void CSkrivelDoc::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
    {
        for (int nPage = 0; nPage < m_RxStore.m_nRxPages; ++nPage)
            ar.Write(m_RxStore.m_RxPages[nPage]->data(), m_RxStore.GetPageByteCount(nPage));
        return;
    }
    // Straight into the pages: the store fills them exactly as byte-by-byte storing would.
    for (;;)
    {
        std::size_t nRoom = 0;
        std::uint8_t* pRun = m_RxStore.GetWriteRun(nRoom);
        const std::size_t nRead = ar.Read(pRun, nRoom);
        if (nRead == 0)
            break;
        m_bModified = true;
        m_RxStore.AdvanceWrite(nRead);
    }
    if (ar.GetError() != 0)
        return;
    if (m_pRxDisplay != nullptr)
        m_pRxDisplay->ScrollToEnd();
    UpdateAllViews();
}

// ---- The heartbeat -----------------------------------------------------------------------------

void CSkrivelDoc::Tick()
{
    if (s_bInTick)
        return;
    s_bInTick = true;
    DrainRxQueue();
    RefillTxQueue();
    s_bInTick = false;
}

void CSkrivelDoc::DrainRxQueue()
{
    // The lock is held only to take the waiting samples; the I/O thread can append while they
    // are stored and painted, and the next round takes what arrived meanwhile.
    for (;;)
    {
        m_RxBatch.clear();
        {
            std::scoped_lock lock(m_Queues.m_RxQueueLock);
            m_Queues.m_RxQueue.RemoveAll(m_RxBatch);
        }
        if (m_RxBatch.empty())
            return;
        if (!m_bDisplayOn || (m_bTransmitting && !m_bFullDuplex))
            continue;
        for (const std::uint32_t nItem : m_RxBatch)
            StoreRxPixel(static_cast<std::uint8_t>(nItem & 0xFF), true);
    }
}

void CSkrivelDoc::RefillTxQueue()
{
    std::scoped_lock lock(m_Queues.m_TxQueueLock);
    if (m_Queues.m_TxQueue.GetCount() >= kRefillMark)
        return;
    int nChar = -1;
    bool bXmit = false;
    bool bMorse = false;
    GetCharToSend(nChar, bXmit, bMorse);
    if (!bXmit)
        m_Queues.m_TxQueue.AddTail(TxItems::kReceive, TxItems::kColumnItems);
    else if (!bMorse)
        FeldHellEncoder::AppendItems(m_HellFont, nChar, m_Queues.m_TxQueue);
    else
        MorseEncoder::AppendItems(nChar, m_Queues.m_TxQueue);
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
        m_bTxStarting = false;
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
    m_Host.OnIdle();
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

// ---- Operator commands -------------------------------------------------------------------------

void CSkrivelDoc::OnTransmit()
{
    if (!m_bTransmitting)
    {
        m_bTransmitting = true;
        m_bTxStarting = true;
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

void CSkrivelDoc::OnClearRx()
{
    m_RxStore.Reset();
    UpdateAllViews();
}

void CSkrivelDoc::OpenPortForOperator(const std::string& strName)
{
    if (!OpenPort(strName))
        m_Host.ShowMessage("Can't open port " + strName, m_Link.GetOpenErrorText());
}
