#include "app/SkrivelApp.h"

#include "app/AboutDlg.h"
#include "app/FirstPaintReport.h"
#include "app/IniProfile.h"
#include "app/ShellCommand.h"
#include "app/TerminationSignals.h"
#include "doc/ProfileSettings.h"
#include "doc/SkrivelDoc.h"
#include "link/PortFactory.h"
#include "rig/Rig.h"
#include "rig/UnkeyOnCrash.h"
#include "station/SoundCardPort.h"
#include "ui/CmdUI.h"
#include "ui/CommSettingsDialog.h"
#include "ui/CommandIds.h"
#include "ui/MainFrame.h"
#include "ui/RigProfile.h"
#include "ui/RxDataFileDialog.h"
#include "ui/WindowLayout.h"

#include <QApplication>
#include <QMessageBox>

namespace
{
constexpr int kHeartbeatMs = 20;
}

CSkrivelApp::CSkrivelApp(CIniProfile& profile) : m_Profile(profile)
{
    m_Timer.setTimerType(Qt::PreciseTimer);
    m_Timer.setInterval(kHeartbeatMs);
    QObject::connect(&m_Timer, &QTimer::timeout, [this] { OnThreadTimer(); });
}

CSkrivelApp::~CSkrivelApp()
{
    if (m_pDoc)
        ExitInstance();
}

bool CSkrivelApp::InitInstance(const QStringList& strFiles)
{
    // The start-up command may prepare what the port needs: it runs before the document exists.
    RunExternalCommand(ProfileSettings::kStartupCommand, "startup");

    // A crash releases the transmitter before the program ends.
    m_pRig = std::make_unique<CRig>();
    m_pRig->Configure(RigProfile::Read(m_Profile));
    m_pUnkeyOnCrash = std::make_unique<CUnkeyOnCrash>(*m_pRig);
    m_pDoc = std::make_unique<CSkrivelDoc>(m_Profile, *this);
    m_pDoc->SetPortFactory([this](const std::string& strName) { return MakePort(strName); });
    m_pMainFrame = std::make_unique<CMainFrame>(*m_pDoc, *this, m_Profile, this);
    m_pMainFrame->SetCloseHandler([this] { OnMainWindowClosing(); });
    // The layout the window had when the program last ended.
    WindowLayout::Restore(*m_pMainFrame, *m_pMainFrame->GetSplitter(), m_Profile);
    if (!m_pDoc->OnNewDocument())
        return false;
    // A file named on the command line is loaded into the document set up as a new one, before
    // the window shows.
    if (!strFiles.isEmpty() &&
        !(m_pMainFrame->OpenDocumentFile(strFiles.constFirst()) && m_pDoc->WaitForFileWork()))
        return false;
    m_pMainFrame->UpdateTitle();
    CFirstPaintReport::InstallIfAsked(*m_pMainFrame);
    m_pMainFrame->show();
    // Ended by the desktop or a terminal: the same orderly shutdown as File, Exit, once the
    // event loop is left.
    m_pTerminationSignals = std::make_unique<CTerminationSignals>([] { QApplication::quit(); });

    m_Timer.start();
    m_nTimerID = m_Timer.timerId() > 0 ? m_Timer.timerId() : 0;
    if (m_nTimerID == 0)
        ShowMessage("Can't activate a system timer!!!  We're hosed!!!");
    // The first idle update, once the window is up.
    QTimer::singleShot(0, m_pMainFrame.get(), [this] { OnIdle(); });
    return true;
}

int CSkrivelApp::ExitInstance()
{
    if (m_pDoc && !m_bDocumentClosed)
        OnMainWindowClosing();
    // The views go before the document; the document's destructor ends the link and writes the
    // port and the flags. The rig, released and closed, after the port that keyed it.
    m_pMainFrame.reset();
    m_pDoc.reset();
    m_pUnkeyOnCrash.reset();
    m_pRig.reset();
    m_Timer.stop();
    m_nTimerID = 0;
    // The shutdown command runs after the port has been closed.
    RunExternalCommand(ProfileSettings::kShutdownCommand, "shutdown");
    std::string strError;
    if (!m_Profile.Flush(strError))
        ShowMessage("The settings could not be saved.", strError);
    m_pTerminationSignals.reset();
    return 0;
}

std::unique_ptr<IPort> CSkrivelApp::MakePort(const std::string& strName)
{
    static_assert(std::string_view(CSkrivelDoc::kSoundCardPort) == CSoundCardPort::kName);
    if (strName != CSoundCardPort::kName)
        return PortFactory::Create(strName);
    CSoundCardSettings settings;
    settings.m_strInputDevice = ProfileSettings::Read(m_Profile, ProfileSettings::kAudioInputDevice);
    settings.m_strOutputDevice = ProfileSettings::Read(m_Profile, ProfileSettings::kAudioOutputDevice);
    settings.m_nToneHz = ProfileSettings::Read(m_Profile, ProfileSettings::kAudioTone);
    settings.m_nTxToneHz = ProfileSettings::Read(m_Profile, ProfileSettings::kAudioSplit)
                               ? ProfileSettings::Read(m_Profile, ProfileSettings::kAudioTxTone)
                               : settings.m_nToneHz;
    settings.m_bAfc = ProfileSettings::Read(m_Profile, ProfileSettings::kAudioAfc);
    settings.m_nMode = m_pDoc->GetStoredMode();
    return std::make_unique<CSoundCardPort>(settings, m_pRig.get());
}

void CSkrivelApp::OnMainWindowClosing()
{
    m_bDocumentClosed = true;
    // The layout as the operator leaves it; a window that never showed keeps the stored one.
    if (m_pMainFrame->isVisible())
        WindowLayout::Save(*m_pMainFrame, *m_pMainFrame->GetSplitter(), m_Profile);
    m_pDoc->OnCloseDocument();
}

void CSkrivelApp::RunExternalCommand(const ProfileSettings::SText& command, const char* pszWhich)
{
    const std::string strCommand = ProfileSettings::Read(m_Profile, command);
    if (!strCommand.empty() && !ShellCommand::Run(strCommand))
        ShowMessage(std::string("Can't execute ") + pszWhich + " command \"" + strCommand + "\"");
}

void CSkrivelApp::OnThreadTimer()
{
    if (m_pMainFrame && m_pDoc)
        m_pDoc->Tick();
}

// ---- IDocHost ----------------------------------------------------------------------------------

QWidget* CSkrivelApp::GetMessageParent() const
{
    return m_pMainFrame && m_pMainFrame->isVisible() ? m_pMainFrame.get() : nullptr;
}

void CSkrivelApp::ShowMessage(const std::string& strText, const std::string& strDetail)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("skrivel"), QString::fromStdString(strText),
                    QMessageBox::Ok, GetMessageParent());
    if (!strDetail.empty())
        box.setInformativeText(QString::fromStdString(strDetail));
    box.exec();
}

void CSkrivelApp::OnIdle()
{
    if (m_pMainFrame)
        m_pMainFrame->UpdateCommandUI();
}

// ---- Commands ----------------------------------------------------------------------------------

bool CSkrivelApp::OnCmdMsg(int nID, CCmdUI* pCmdUI)
{
    switch (nID)
    {
    // Greyed while a receive-data file is loaded or saved.
    case ID_FILE_NEW:
        if (pCmdUI == nullptr)
            OnFileNew();
        else
            pCmdUI->Enable(!m_pDoc->IsFileWorkPending());
        return true;
    case ID_FILE_OPEN:
        if (pCmdUI == nullptr)
            OnFileOpen();
        else
            pCmdUI->Enable(!m_pDoc->IsFileWorkPending());
        return true;
    case ID_APP_EXIT:
        if (pCmdUI == nullptr && m_pMainFrame)
            m_pMainFrame->close();
        return true;
    case ID_APP_ABOUT:
        if (pCmdUI == nullptr)
            CAboutDlg(m_pMainFrame.get()).exec();
        return true;
    case ID_COMM_SETTINGS:
        if (pCmdUI == nullptr)
            CCommSettingsDialog::EditSettings(*m_pDoc, m_Profile, *m_pRig, m_pMainFrame.get());
        return true;
    default:
        return false;
    }
}

void CSkrivelApp::OnFileNew()
{
    // The stored settings as the file holds them now: the operator may have edited it meanwhile.
    m_Profile.Reload();
    m_pRig->Configure(RigProfile::Read(m_Profile));
    m_pDoc->OnNewDocument();
    m_pMainFrame->UpdateTitle();
}

void CSkrivelApp::OnFileOpen()
{
    const QString strPath = RxDataFileDialog::GetOpenPath(m_pMainFrame.get());
    if (!strPath.isEmpty())
        m_pMainFrame->OpenDocumentFile(strPath);
}
