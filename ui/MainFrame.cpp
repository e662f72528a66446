#include "ui/MainFrame.h"

#include "doc/IDocHost.h"
#include "doc/SkrivelDoc.h"
#include "link/HellModeNames.h"
#include "ui/CmdUI.h"
#include "ui/CommandActions.h"
#include "ui/CommandIds.h"
#include "ui/HelpWindow.h"
#include "ui/PictureBar.h"
#include "ui/PictureCommands.h"
#include "ui/PrintCommands.h"
#include "ui/RxDataFileDialog.h"
#include "ui/SkrivelRxView.h"
#include "ui/SkrivelTxView.h"
#include "ui/SplitTracker.h"
#include "ui/StatusPanes.h"
#include "ui/WaterfallView.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace
{
std::string ToPath(const QString& strPath)
{
    return QFile::encodeName(strPath).toStdString();
}

QString FromPath(const std::string& strPath)
{
    return QFile::decodeName(QByteArray::fromStdString(strPath));
}

constexpr int kTxPane = 0;
constexpr int kRxPane = 1;
constexpr int kTxPaneHeight = 60;
constexpr int kRxPaneHeight = 300;
constexpr int kMinPaneHeight = 20;
constexpr int kMenuPathWidth = 48; // characters of a recent file's path in the menu

// "&1 " and the path, shortened in the middle when long; an ampersand stays an ampersand.
QString RecentFileMenuText(int nIndex, const QString& strPath)
{
    QString strShown = strPath;
    if (strShown.size() > kMenuPathWidth)
    {
        const int nKeep = (kMenuPathWidth - 3) / 2;
        strShown = strShown.left(nKeep) + QStringLiteral("...") + strShown.right(nKeep);
    }
    strShown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(nIndex + 1).arg(strShown);
}
} // namespace

CMainFrame::CMainFrame(CSkrivelDoc& doc, IDocHost& host, IProfile& profile, ICommandTarget* pAppTarget,
                       QWidget* pParent)
    : QMainWindow(pParent), m_Doc(doc), m_Host(host), m_pAppTarget(pAppTarget), m_DocCommands(doc, this),
      m_RecentFiles(profile)
{
    m_pActions = new CCommandActions(this, [this](int nID) { OnCommand(nID); });
    m_pActions->BuildMenuBar(menuBar(), [this] { UpdateCommandUI(); });

    m_wndToolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_wndToolBar->setObjectName(QStringLiteral("m_wndToolBar"));
    m_pActions->BuildToolBar(m_wndToolBar);
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);

    m_wndStatusBar = new QStatusBar(this);
    m_wndStatusBar->setObjectName(QStringLiteral("m_wndStatusBar"));
    setStatusBar(m_wndStatusBar);
    m_pStatusPanes = new CStatusPanes(m_wndStatusBar);

    // The picture's controls, under it.
    m_pPictureBar = new CPictureBar(m_Doc, this);
    m_pPictureBar->setObjectName(QStringLiteral("m_wndPictureBar"));
    addToolBar(Qt::BottomToolBarArea, m_pPictureBar);

    CreateClient();
    m_pPictureCommands = std::make_unique<CPictureCommands>(m_Doc, *m_pRxView, *m_pPictureBar);
    UpdateRecentFileMenu();
    UpdateTitle();
    resize(800, 540);

    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* pNow) { OnFocusChanged(pNow); });
}

CMainFrame::~CMainFrame()
{
    // A file still being saved or loaded is finished while the frame can still take the outcome.
    m_Doc.WaitForFileWork();
    // The views go first, while the frame they report focus changes to is still whole.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    m_Doc.SetWaterfallDisplay(nullptr);
    delete m_wndSplitter;
}

void CMainFrame::CreateClient()
{
    m_wndSplitter = new QSplitter(Qt::Vertical, this);
    m_wndSplitter->setObjectName(QStringLiteral("m_wndSplitter"));
    m_pTxView = new CSkrivelTxView(m_Doc, m_wndSplitter);
    // The lower pane: the waterfall, shown only for a port that hears audio, above the picture.
    auto* pRxPane = new QWidget(m_wndSplitter);
    auto* pRxLayout = new QVBoxLayout(pRxPane);
    pRxLayout->setContentsMargins(0, 0, 0, 0);
    pRxLayout->setSpacing(0);
    m_pWaterfall = new CWaterfallView(m_Doc, pRxPane);
    m_pWaterfall->setVisible(m_Doc.HasAudio());
    m_Doc.SetWaterfallDisplay(m_pWaterfall);
    m_pRxView = new CSkrivelRxView(m_Doc, pRxPane);
    pRxLayout->addWidget(m_pWaterfall);
    pRxLayout->addWidget(m_pRxView);
    m_wndSplitter->addWidget(m_pTxView);
    m_wndSplitter->addWidget(pRxPane);
    // The panes may be smaller than their editors would ask for: the top one starts 60 high.
    m_pTxView->setMinimumHeight(kMinPaneHeight);
    m_pRxView->setMinimumHeight(kMinPaneHeight);
    // The bottom pane takes whatever height the top one leaves.
    m_wndSplitter->setStretchFactor(kTxPane, 0);
    m_wndSplitter->setStretchFactor(kRxPane, 1);
    m_wndSplitter->setSizes({kTxPaneHeight, kRxPaneHeight});
    setCentralWidget(m_wndSplitter);
    m_pSplitTracker = new CSplitTracker(m_wndSplitter);

    m_pRxView->SetPrinter(&m_Printer);
    connect(m_pRxView, &CSkrivelRxView::PictureSettingsChanged, this, &CMainFrame::UpdateCommandUI);
    m_pRxView->SetOpenFileHandler([this](const QString& strPath) { OpenDocumentFile(strPath); });
    m_pRxView->SetMessageHandler([this](const QString& strText)
                                 { m_Host.ShowMessage(strText.toStdString()); });
    // The keyboard stays with the text: what is typed while the picture has the focus goes to
    // the transmit pane, which takes the focus back.
    m_pRxView->SetTypingHandler(
        [this](const QKeyEvent& event)
        {
            SetActivePane(kTxPane, true);
            QKeyEvent typed(event.type(), event.key(), event.modifiers(), event.text(), event.isAutoRepeat(),
                            event.count());
            QCoreApplication::sendEvent(m_pTxView, &typed);
        });
    // The pane with the focus is framed in the highlight colour; the frame is always there, so
    // the panes keep their size when the focus moves.
    m_wndSplitter->setStyleSheet(QStringLiteral(
        "CSkrivelTxView, CSkrivelRxView { border: 2px solid transparent; }"
        "CSkrivelTxView:focus, CSkrivelRxView:focus { border: 2px solid palette(highlight); }"));
    // The Morse and Feldhell marks and the clipboard commands follow the caret and the selection.
    const auto updateTextCommands = [this]
    {
        static constexpr int kTextCommands[] = {ID_EDIT_XMIT_FELDHELL, ID_EDIT_XMIT_MORSE, ID_EDIT_CUT,
                                                ID_EDIT_COPY};
        m_pActions->Update([this](int nID, CCmdUI* pCmdUI) { return RouteCommand(nID, pCmdUI); },
                           kTextCommands);
    };
    connect(m_pTxView, &QTextEdit::cursorPositionChanged, this, updateTextCommands);
    connect(m_pTxView, &QTextEdit::selectionChanged, this, updateTextCommands);
    m_pTxView->setFocus();
}

QAction* CMainFrame::GetAction(int nID) const
{
    return m_pActions->Get(nID);
}

// ---- Panes and routing -------------------------------------------------------------------------

QWidget* CMainFrame::GetActivePane() const
{
    return m_nActivePane == kTxPane ? static_cast<QWidget*>(m_pTxView) : static_cast<QWidget*>(m_pRxView);
}

ICommandTarget* CMainFrame::GetActiveTarget() const
{
    return m_nActivePane == kTxPane ? static_cast<ICommandTarget*>(m_pTxView)
                                    : static_cast<ICommandTarget*>(m_pRxView);
}

void CMainFrame::SetActivePane(int nPane, bool bFocus)
{
    m_nActivePane = nPane;
    if (bFocus)
        GetActivePane()->setFocus(Qt::OtherFocusReason);
    UpdateCommandUI();
}

void CMainFrame::OnFocusChanged(QWidget* pNow)
{
    if (pNow == nullptr)
        return;
    if (pNow == m_pTxView || m_pTxView->isAncestorOf(pNow))
        SetActivePane(kTxPane, false);
    else if (pNow == m_pRxView || m_pRxView->isAncestorOf(pNow))
        SetActivePane(kRxPane, false);
}

bool CMainFrame::RouteCommand(int nID, CCmdUI* pCmdUI)
{
    ICommandTarget* const targets[] = {GetActiveTarget(), &m_DocCommands, m_pPictureCommands.get(), this,
                                       m_pAppTarget};
    for (ICommandTarget* pTarget : targets)
    {
        if (pTarget != nullptr && pTarget->OnCmdMsg(nID, pCmdUI))
            return true;
    }
    return false;
}

void CMainFrame::OnCommand(int nID)
{
    RouteCommand(nID, nullptr);
    UpdateCommandUI();
}

void CMainFrame::UpdateCommandUI()
{
    m_pActions->Update([this](int nID, CCmdUI* pCmdUI) { return RouteCommand(nID, pCmdUI); });
    m_pPictureBar->Update();
    m_pStatusPanes->SetOperatingStatus(QString::fromLatin1(m_Doc.GetStatusText()));
    m_pStatusPanes->SetDroppedSamples(m_Doc.GetRxDropped());
    m_pStatusPanes->SetPortStatus(QString::fromStdString(m_Doc.GetPortStatusText()),
                                  QString::fromStdString(m_Doc.GetPortProblemText()));
    m_pStatusPanes->SetPttStatus(QString::fromStdString(m_Doc.GetPttStatusText()),
                                 QString::fromStdString(m_Doc.GetPttProblemText()),
                                 QString::fromStdString(m_Doc.GetRigText()));
    const std::string_view strMode = HellModeNames::kAll.at(static_cast<std::size_t>(m_Doc.GetMode())).m_strName;
    m_pStatusPanes->SetMode(QString::fromUtf8(strMode.data(), static_cast<qsizetype>(strMode.size())));
    m_pStatusPanes->UpdateIndicators();
    m_pWaterfall->setVisible(m_Doc.HasAudio());
    m_pWaterfall->UpdateControls();
}

void CMainFrame::closeEvent(QCloseEvent* pEvent)
{
    if (m_CloseHandler)
        m_CloseHandler();
    pEvent->accept();
}

// ---- The frame's own commands ------------------------------------------------------------------

bool CMainFrame::OnCmdMsg(int nID, CCmdUI* pCmdUI)
{
    if (nID >= ID_FILE_MRU_FILE1 && nID < ID_FILE_MRU_FILE1 + CRecentFileList::kSize)
    {
        const int nIndex = nID - ID_FILE_MRU_FILE1;
        if (nIndex >= m_RecentFiles.GetCount())
            return false;
        if (pCmdUI == nullptr)
            OnOpenRecentFile(nIndex);
        else
            pCmdUI->Enable(!m_Doc.IsFileWorkPending());
        return true;
    }
    switch (nID)
    {
    case ID_FILE_SAVE:
        if (pCmdUI == nullptr)
            OnFileSave();
        else
            pCmdUI->Enable(!m_Doc.IsFileWorkPending());
        return true;
    case ID_FILE_SAVE_AS:
        if (pCmdUI == nullptr)
            OnFileSaveAs();
        else
            pCmdUI->Enable(!m_Doc.IsFileWorkPending());
        return true;
    // The receive view prints itself; these reach the frame for the transmit pane.
    case ID_FILE_PRINT:
        if (pCmdUI == nullptr)
            PrintCommands::Print(m_Printer, this, std::bind_front(&CSkrivelTxView::Print, m_pTxView));
        return true;
    case ID_FILE_PRINT_PREVIEW:
        if (pCmdUI == nullptr)
            PrintCommands::Preview(m_Printer, this, std::bind_front(&CSkrivelTxView::Print, m_pTxView));
        return true;
    case ID_FILE_PRINT_SETUP:
        if (pCmdUI == nullptr)
            QPageSetupDialog(&m_Printer, this).exec();
        return true;
    case ID_VIEW_TOOLBAR:
        if (pCmdUI == nullptr)
            m_wndToolBar->setVisible(m_wndToolBar->isHidden());
        else
            pCmdUI->SetCheck(!m_wndToolBar->isHidden());
        return true;
    case ID_VIEW_STATUS_BAR:
        if (pCmdUI == nullptr)
            m_wndStatusBar->setVisible(m_wndStatusBar->isHidden());
        else
            pCmdUI->SetCheck(!m_wndStatusBar->isHidden());
        return true;
    case ID_WINDOW_SPLIT:
        if (pCmdUI == nullptr)
            m_pSplitTracker->Start();
        return true;
    case ID_NEXT_PANE:
    case ID_PREV_PANE:
        if (pCmdUI == nullptr)
            SetActivePane(m_nActivePane == kTxPane ? kRxPane : kTxPane, true);
        return true;
    // Help Topics, F1 and Shift+F1 all open the user manual.
    case ID_HELP_FINDER:
    case ID_HELP:
    case ID_CONTEXT_HELP:
        if (pCmdUI == nullptr && !CHelpWindow::ShowManual(this))
            m_Host.ShowMessage("The user manual is not installed.",
                               std::string("Looked for ") + CHelpWindow::kManualPage +
                                   " beside the program and in its share folder.");
        return true;
    default:
        return false;
    }
}

// ---- Files -------------------------------------------------------------------------------------

void CMainFrame::UpdateTitle()
{
    const std::string& strPath = m_Doc.GetPathName();
    const QString strName =
        strPath.empty() ? QStringLiteral("Untitled") : QFileInfo(FromPath(strPath)).fileName();
    setWindowTitle(strName + QStringLiteral(" - Skrivel"));
}

bool CMainFrame::OpenDocumentFile(const QString& strPath, std::function<void()> onFailed)
{
    const bool bStarted = m_Doc.BeginOpenDocument(ToPath(strPath),
                                                  [this, strPath, onFailed](bool bLoaded)
                                                  {
                                                      if (bLoaded)
                                                          AddToRecentFiles(strPath);
                                                      else if (onFailed)
                                                          onFailed();
                                                      UpdateTitle();
                                                  });
    if (!bStarted && onFailed)
        onFailed();
    UpdateCommandUI();
    return bStarted;
}

void CMainFrame::OnOpenRecentFile(int nIndex)
{
    // A file that can no longer be loaded leaves the list.
    const std::string strPath = m_RecentFiles.Get(nIndex);
    OpenDocumentFile(FromPath(strPath),
                     [this, strPath]
                     {
                         m_RecentFiles.Remove(strPath);
                         UpdateRecentFileMenu();
                     });
}

void CMainFrame::OnFileSave()
{
    const std::string& strPath = m_Doc.GetPathName();
    if (strPath.empty())
        OnFileSaveAs();
    else
        SaveDocumentFile(FromPath(strPath));
}

void CMainFrame::OnFileSaveAs()
{
    const QString strPath = RxDataFileDialog::GetSavePath(this, FromPath(m_Doc.GetPathName()));
    if (!strPath.isEmpty())
        SaveDocumentFile(strPath);
}

void CMainFrame::SaveDocumentFile(const QString& strPath)
{
    m_Doc.BeginSaveDocument(ToPath(strPath),
                            [this, strPath](bool bSaved)
                            {
                                if (!bSaved)
                                    return;
                                AddToRecentFiles(strPath);
                                UpdateTitle();
                            });
    UpdateCommandUI();
}

void CMainFrame::AddToRecentFiles(const QString& strPath)
{
    m_RecentFiles.Add(ToPath(strPath));
    UpdateRecentFileMenu();
}

void CMainFrame::UpdateRecentFileMenu()
{
    for (int i = 0; i < CRecentFileList::kSize; ++i)
    {
        QAction* pAction = GetAction(ID_FILE_MRU_FILE1 + i);
        if (i < m_RecentFiles.GetCount())
            pAction->setText(RecentFileMenuText(i, FromPath(m_RecentFiles.Get(i))));
        else if (i == 0)
            pAction->setText(QStringLiteral("Recent File"));
        // The first entry stands, greyed, for an empty list.
        pAction->setVisible(i == 0 || i < m_RecentFiles.GetCount());
    }
}
