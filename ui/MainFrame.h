#pragma once

#include "ui/CommandTarget.h"
#include "ui/DocCommands.h"
#include "ui/RecentFileList.h"

#include <QMainWindow>
#include <QPrinter>

#include <functional>
#include <memory>

class CCommandActions;
class CPictureBar;
class CPictureCommands;
class CSkrivelDoc;
class CSkrivelRxView;
class CSkrivelTxView;
class CSplitTracker;
class CStatusPanes;
class CWaterfallView;
class IDocHost;
class IProfile;
class QAction;
class QSplitter;
class QStatusBar;
class QToolBar;

// The main window: menus, toolbar and status bar built from the command table, and a splitter with
// the transmit pane above the receive pane. Commands go to the active pane's view first, then to
// the document, the frame itself and last the application; one update pass sets every action's
// state from that same chain.
class CMainFrame : public QMainWindow, public ICommandTarget
{
    Q_OBJECT

public:
    // The document, host and profile must outlive the frame. pAppTarget, if given, takes the
    // commands that nothing before it handles.
    CMainFrame(CSkrivelDoc& doc, IDocHost& host, IProfile& profile, ICommandTarget* pAppTarget = nullptr,
               QWidget* pParent = nullptr);
    ~CMainFrame() override;

    // Runs when the window is about to close, before it goes.
    void SetCloseHandler(std::function<void()> handler) { m_CloseHandler = std::move(handler); }

    // Gives every command's menu item and button its state, and the status panes their texts.
    void UpdateCommandUI();
    // Sends a command along the chain: carries it out when pCmdUI is null, otherwise fills it in.
    bool RouteCommand(int nID, CCmdUI* pCmdUI);
    // What a menu item, button or key does: the command, then an update pass.
    void OnCommand(int nID);

    // Starts loading a receive-data file; false when it cannot be read at all. Once loaded it
    // becomes the document's file, titles the window and heads the recent-file list; onFailed
    // runs when it cannot be loaded.
    bool OpenDocumentFile(const QString& strPath, std::function<void()> onFailed = {});
    // Shows the document's file name (or "Untitled") in the title.
    void UpdateTitle();

    // The frame's own commands: saving, printing the transmit pane, the bars, the panes, help and
    // the recent-file entries.
    bool OnCmdMsg(int nID, CCmdUI* pCmdUI) override;

    CSkrivelTxView* GetTxView() const { return m_pTxView; }
    CSkrivelRxView* GetRxView() const { return m_pRxView; }
    CWaterfallView* GetWaterfall() const { return m_pWaterfall; }
    // The pane that commands go to first.
    QWidget* GetActivePane() const;
    QSplitter* GetSplitter() const { return m_wndSplitter; }
    QToolBar* GetToolBar() const { return m_wndToolBar; }
    CPictureBar* GetPictureBar() const { return m_pPictureBar; }
    CStatusPanes& GetStatusPanes() const { return *m_pStatusPanes; }
    const CCommandActions& GetActions() const { return *m_pActions; }
    QAction* GetAction(int nID) const;
    QPrinter& GetPrinter() { return m_Printer; }
    const CRecentFileList& GetRecentFiles() const { return m_RecentFiles; }

protected:
    void closeEvent(QCloseEvent* pEvent) override;

private:
    void CreateClient();
    void SetActivePane(int nPane, bool bFocus);
    void OnFocusChanged(QWidget* pNow);
    void OnFileSave();
    void OnFileSaveAs();
    void SaveDocumentFile(const QString& strPath);
    void OnOpenRecentFile(int nIndex);
    void UpdateRecentFileMenu();
    void AddToRecentFiles(const QString& strPath);
    ICommandTarget* GetActiveTarget() const;

    CSkrivelDoc& m_Doc;
    IDocHost& m_Host;
    ICommandTarget* m_pAppTarget;
    CDocCommands m_DocCommands;
    CRecentFileList m_RecentFiles;
    QPrinter m_Printer;
    std::function<void()> m_CloseHandler;

    QSplitter* m_wndSplitter = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    QStatusBar* m_wndStatusBar = nullptr;
    CSkrivelTxView* m_pTxView = nullptr;
    CSkrivelRxView* m_pRxView = nullptr;
    CWaterfallView* m_pWaterfall = nullptr; // above the picture, while the port hears audio
    CStatusPanes* m_pStatusPanes = nullptr;
    CCommandActions* m_pActions = nullptr;
    CSplitTracker* m_pSplitTracker = nullptr;
    CPictureBar* m_pPictureBar = nullptr;
    std::unique_ptr<CPictureCommands> m_pPictureCommands;
    int m_nActivePane = 0; // 0 the transmit pane, 1 the receive pane
};
