#pragma once

#include "doc/IDocHost.h"
#include "ui/CommandTarget.h"

#include <QStringList>
#include <QTimer>

#include <memory>
#include <string>

class CIniProfile;
class CMainFrame;
class CRig;
namespace ProfileSettings
{
struct SText;
}
class CSkrivelDoc;
class CTerminationSignals;
class CUnkeyOnCrash;
class IPort;
class QWidget;

// The application: runs the start-up command, brings up the rig, the document, the main window
// and the 20 ms heartbeat, and takes them down again in order before the shutdown command runs.
// It is the document's host (message boxes, immediate command updates) and the last command
// target.
class CSkrivelApp : public IDocHost, public ICommandTarget
{
public:
    // The profile must outlive the application.
    explicit CSkrivelApp(CIniProfile& profile);
    ~CSkrivelApp() override;
    CSkrivelApp(const CSkrivelApp&) = delete;
    CSkrivelApp& operator=(const CSkrivelApp&) = delete;

    // Start-up; strFiles are the command line's arguments (a receive-data file to load). False
    // when the program cannot start.
    bool InitInstance(const QStringList& strFiles);
    // Shutdown, whether or not the window has been closed yet; gives the exit code.
    int ExitInstance();

    // IDocHost: a message box titled "skrivel" with an OK button.
    void ShowMessage(const std::string& strText, const std::string& strDetail = {}) override;
    void OnIdle() override;

    // New, Load Rx Data, Exit, About and the Comm settings.
    bool OnCmdMsg(int nID, CCmdUI* pCmdUI) override;

    CSkrivelDoc* GetDocument() const { return m_pDoc.get(); }
    CMainFrame* GetMainFrame() const { return m_pMainFrame.get(); }

private:
    // The port a name stands for: the link's kinds, and the sound card.
    std::unique_ptr<IPort> MakePort(const std::string& strName);
    void OnThreadTimer();
    void OnMainWindowClosing();
    void RunExternalCommand(const ProfileSettings::SText& command, const char* pszWhich);
    void OnFileNew();
    void OnFileOpen();
    QWidget* GetMessageParent() const;

    CIniProfile& m_Profile;
    // The rig outlives the document, whose sound-card port keys it.
    std::unique_ptr<CRig> m_pRig;
    std::unique_ptr<CUnkeyOnCrash> m_pUnkeyOnCrash;
    std::unique_ptr<CSkrivelDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    std::unique_ptr<CTerminationSignals> m_pTerminationSignals;
    QTimer m_Timer;
    int m_nTimerID = 0;
    bool m_bDocumentClosed = false;
};
