#pragma once

#include "doc/FileErrorText.h"
#include "doc/PictureSettings.h"
#include "doc/ProfileSettings.h"
#include "engine/HellFont.h"
#include "engine/RxStore.h"
#include "link/LinkQueues.h"
#include "link/SerialLink.h"
#include "link/SpectrumLine.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CRxDataJob;
class IDocHost;
class IProfile;
class IRxDisplay;
class IWaterfallDisplay;
class IXmitSource;

// The one document: owner of all run-time state (operating flags, settings, the Hell font, the
// canned messages, the receive store, the link and its queues). It runs the heartbeat, and talks
// to the transmit text, the receive picture and the program around it through narrow interfaces.
class CSkrivelDoc
{
public:
    static constexpr int kXmitMessages = ProfileSettings::kXmitMessages.nCount;
    // The port name of the sound card, which the program's port factory knows.
    static constexpr char kSoundCardPort[] = "SOUNDCARD";

    // The profile and the host must outlive the document: the destructor writes the settings.
    CSkrivelDoc(IProfile& profile, IDocHost& host);
    ~CSkrivelDoc();
    CSkrivelDoc(const CSkrivelDoc&) = delete;
    CSkrivelDoc& operator=(const CSkrivelDoc&) = delete;

    void SetXmitSource(IXmitSource* pSource) { m_pXmitSource = pSource; }
    void SetRxDisplay(IRxDisplay* pDisplay) { m_pRxDisplay = pDisplay; }
    IRxDisplay* GetRxView() const { return m_pRxDisplay; }
    void SetWaterfallDisplay(IWaterfallDisplay* pDisplay) { m_pWaterfallDisplay = pDisplay; }
    // Where a font name without a directory is looked for after the current directory.
    void SetFontDataDirs(std::vector<std::string> dirs) { m_FontDataDirs = std::move(dirs); }

    // Life cycle.
    bool OnNewDocument();
    void OnCloseDocument();
    void DeleteContents();

    // Receive-data files, loaded and saved on a thread of their own while reception goes on.
    // Failures are shown through the host with the standard texts. Begin... starts the work and
    // is false, having shown why, when a file cannot be loaded at all; onDone runs with the
    // outcome once the work is finished, in a later Tick or in WaitForFileWork. One file
    // operation runs at a time: starting another first waits for the one under way.
    using FileDoneHandler = std::function<void(bool bSucceeded)>;
    bool BeginOpenDocument(const std::string& strPath, FileDoneHandler onDone = {});
    void BeginSaveDocument(const std::string& strPath, FileDoneHandler onDone = {});
    bool IsFileWorkPending() const { return m_pRxDataJob != nullptr; }
    // Finishes the file operation under way, if any; its outcome (true when there was none).
    bool WaitForFileWork();
    // Both at once, for callers that have nothing else to do meanwhile.
    bool OnOpenDocument(const std::string& strPath);
    bool OnSaveDocument(const std::string& strPath);
    const std::string& GetPathName() const { return m_strPathName; }
    bool IsModified() const { return m_bModified; }

    // The heartbeat: drains the receive queue into the store, tops up the transmit queue.
    void Tick();
    void GetCharToSend(int& nChar, bool& bXmit, bool& bMorse);
    const char* GetStatusText() const;
    // The port as the operator named it, and what is wrong with it: "COM1", "COM1: waiting for
    // the device", "COM1: lost" or "no port".
    std::string GetPortStatusText() const;
    // Why a waiting or lost port's device was refused when last looked for; empty otherwise.
    std::string GetPortProblemText() const;
    // The transmitter's keying where the port keys it: "PTT off", "PTT ON", "VOX" or "PTT: no
    // rig"; empty for a port that does not (a board keys its own transmitter).
    std::string GetPttStatusText() const;
    // Why the rig cannot be had, while it cannot.
    std::string GetPttProblemText() const { return m_SeenPtt.m_strProblem; }
    // The rig's frequency and mode while it tells them, such as "14.070000 MHz USB".
    std::string GetRigText() const { return m_SeenPtt.m_strReading; }
    void StoreRxPixel(std::uint8_t nValue, bool bLive);
    // Samples the link dropped because the heartbeat did not take them in time, since the
    // picture was last cleared.
    std::uint64_t GetRxDropped() const { return m_nRxDropped; }

    // The font.
    int GetGlyphWidth(int nCode) const { return m_HellFont.GetGlyphWidth(nCode); }
    bool GetGlyphPixel(int nCode, int nColumn, int nRow) const
    {
        return m_HellFont.GetGlyphPixel(nCode, nColumn, nRow);
    }

    // The link.
    bool OpenPort(const std::string& strName);
    EPortState GetPortState() const { return m_Link.GetState(); }
    // CPU time the I/O thread has used so far; zero when none runs.
    std::chrono::nanoseconds GetIoThreadCpuTime() const { return m_Link.GetIoThreadCpuTime(); }
    // How port names become ports: the program knows kinds that the link does not (a sound card).
    void SetPortFactory(CSerialLink::PortFactoryFunction factory) { m_Link.SetPortFactory(std::move(factory)); }
    const std::string& GetPortName() const { return m_Link.GetPortName(); }
    CLinkQueues& GetQueues() { return m_Queues; }

    // Tuning a port that hears audio (the sound card). Its tones and AFC are stored in the profile
    // as they change; without such a port the stored ones are given.
    bool HasAudio() const { return m_Link.GetAudioTuning() != nullptr; }
    int GetToneHz() const;
    int GetTxToneHz() const;
    // Where the receiver listens: the tone, or the signal AFC follows.
    double GetListeningHz() const;
    bool IsAfcOn() const;
    bool IsSplit() const;
    // Listens on a tone, and sends on it too unless split.
    void SetToneHz(int nHz);
    void OnAfc();
    // Split on: the transmit tone stays where it is while the tone listened to moves. Off: it
    // joins that tone.
    void OnSplit();
    // The Hell mode (an index of HellModeNames::kAll), chosen for the sound card and stored in the
    // profile; a board and DUMMY work Feld-Hell only. SetMode stores the mode whatever the port, so
    // that a sound card opened next takes it up; the sound card in use takes it up at once, or at
    // the next transmission while it transmits.
    int GetMode() const;
    void SetMode(int nMode);
    // The mode stored in the profile; Feld-Hell for a word that names none.
    int GetStoredMode() const;

    // Operator commands.
    void OnTransmit();
    void OnReceive();
    void OnImmediateReceive();
    void OnClearTxBuffer();
    void OnDisplayOn() { m_bDisplayOn = true; }
    void OnDisplayOff() { m_bDisplayOn = false; }
    void OnBlackOnWhite();
    void OnWhiteOnBlack();
    // Paints the picture with these settings, each kept within its range.
    void SetPicture(const SPictureSettings& settings);
    void OnClearRx();
    void OnUpperCase() { m_bUpperCase = !m_bUpperCase; }
    void OnFullDuplex() { m_bFullDuplex = !m_bFullDuplex; }
    void OnDiddle() { m_bUseDiddle = !m_bUseDiddle; }
    void OnComm1() { OpenPortForOperator("COM1"); }
    void OnComm2() { OpenPortForOperator("COM2"); }
    void OnComm3() { OpenPortForOperator("COM3"); }
    void OnDummyPort() { OpenPort("DUMMY"); }
    void OnSoundCardPort() { OpenPortForOperator(kSoundCardPort); }
    // The port the operator chose by name (the Comm settings): as the Comm menu's items do.
    void OnSelectPort(const std::string& strName);

    // Operating flags.
    bool m_bTransmitting = false;
    bool m_bTxIdle = false;
    bool m_bFinishTx = false;
    bool m_bTxStarting = false;
    // Options.
    bool m_bDisplayOn = true;
    bool m_bUpperCase = true;
    bool m_bFullDuplex = true;
    bool m_bUseDiddle = true;
    bool m_bReverseVideo = false;
    SPictureSettings m_Picture;

    std::string m_strFontFileName;
    CHellFont m_HellFont;
    std::array<std::string, kXmitMessages> m_strXmitMessages;
    CRxStore m_RxStore;

private:
    void DrainRxQueue();
    void DrainSpectra();
    void RefillTxQueue();
    void FinishFileWork();
    void ResetRxStore();
    void TakeLoadedStore(CRxDataJob& job);
    void LoadFont();
    void OpenPortForOperator(const std::string& strName);
    // Asks the host for an update when the link's state has changed since the last time. A
    // transmission the port stopped because its transmitter could not be keyed ends here too.
    void NoticeLinkChange();
    void UpdateAllViews();
    void ShowFileError(FileErrorText::Operation op, int nError, const std::string& strPath);

    // Re-entry guard of the heartbeat: a message loop run from inside it (a message box) must not
    // start another.
    bool m_bInTick = false;
    bool m_bIdleUpdatePending = false; // the heartbeat changed what the commands show

    IProfile& m_Profile;
    IDocHost& m_Host;
    IXmitSource* m_pXmitSource = nullptr;
    IRxDisplay* m_pRxDisplay = nullptr;
    IWaterfallDisplay* m_pWaterfallDisplay = nullptr;
    std::vector<std::string> m_FontDataDirs = CHellFont::GetDataDirs();

    std::string m_strPathName;
    bool m_bModified = false;

    // The queues outlive the link, whose thread uses them.
    CLinkQueues m_Queues;
    CSerialLink m_Link{m_Queues};
    std::vector<std::uint32_t> m_RxBatch; // reused by every heartbeat
    CItemQueue m_TxBatch;                 // one character's items, before they are queued
    int m_nLeadInSpaces = 0;              // of the lead-in still to send while m_bTxStarting
    std::vector<CSpectrumLine> m_SpectrumBatch; // reused by every heartbeat
    std::uint64_t m_nRxDropped = 0;

    std::unique_ptr<CRxDataJob> m_pRxDataJob;
    FileDoneHandler m_OnFileDone;
    bool m_bLastFileResult = true;
    std::size_t m_nSavedByteCount = 0; // what the save under way writes
    std::vector<std::uint8_t> m_RxDuringLoad; // received while a load runs, to follow the file
    // The link's state and device error as the heartbeat last saw them.
    CSerialLink::EState m_nSeenLinkState = CSerialLink::EState::NoPort;
    int m_nSeenDeviceError = 0;
    int m_nSeenUnderruns = 0;
    CPttStatus m_SeenPtt;
    // Why keying failed, to be told once the heartbeat is done.
    std::string m_strPttFailure;
};
