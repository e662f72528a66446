#pragma once

#include "MemoryProfile.h"
#include "RecordingHost.h"
#include "TestFont.h"
#include "doc/SkrivelDoc.h"
#include "ui/CommandActions.h"
#include "ui/MainFrame.h"
#include "ui/SkrivelTxView.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

// A host that records messages, as the test host does, and runs the frame's update pass when the
// engine asks for it, as the application does.
class CFrameHost : public CRecordingHost
{
public:
    void OnIdle() override
    {
        CRecordingHost::OnIdle();
        if (m_pFrame != nullptr)
            m_pFrame->UpdateCommandUI();
    }

    CMainFrame* m_pFrame = nullptr;
};

// A document initialised from a memory profile and its main window, shown and active. By default
// no port is opened, so that nothing but the test takes items from the transmit queue. The font
// is one the fixture makes, in a temporary data directory.
struct CFrameFixture
{
    explicit CFrameFixture(const std::string& strPort = "", bool bShow = true)
    {
        m_Profile.Set("Comm", "Port", strPort);
        TestFont::Write(m_FontDir.filePath("hellfont.hlf").toStdString());
        m_pDoc = std::make_unique<CSkrivelDoc>(m_Profile, m_Host);
        m_pDoc->SetFontDataDirs({m_FontDir.path().toStdString()});
        m_pFrame = std::make_unique<CMainFrame>(*m_pDoc, m_Host, m_Profile);
        m_Host.m_pFrame = m_pFrame.get();
        m_pDoc->OnNewDocument();
        if (bShow)
            Show();
    }
    void Show()
    {
        m_pFrame->show();
        m_pFrame->activateWindow();
        m_bActive = QTest::qWaitForWindowActive(m_pFrame.get());
    }
    ~CFrameFixture()
    {
        m_Host.m_pFrame = nullptr;
        m_pFrame.reset();
        m_pDoc.reset();
    }

    CSkrivelDoc& Doc() { return *m_pDoc; }
    CMainFrame& Frame() { return *m_pFrame; }
    CSkrivelTxView& TxView() { return *m_pFrame->GetTxView(); }

    // A command's action after a fresh update pass: its state, or choosing its menu item (or button).
    QAction& Updated(int nID)
    {
        m_pFrame->UpdateCommandUI();
        return *m_pFrame->GetAction(nID);
    }
    bool IsEnabled(int nID) { return Updated(nID).isEnabled(); }
    bool IsMarked(int nID) { return Updated(nID).isChecked(); }
    void Choose(int nID) { Updated(nID).trigger(); }
    // A key as the operator presses it. The offscreen platform does not give the window back its
    // activation after a dialog has closed; a window manager would.
    void Key(Qt::Key nKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        if (QApplication::focusWidget() == nullptr)
            Show();
        QTest::keyClick(QApplication::focusWidget(), nKey, modifiers);
    }
    // Plays the board: takes everything queued for transmission.
    std::vector<std::uint32_t> TakeTxItems()
    {
        std::vector<std::uint32_t> items;
        m_pDoc->GetQueues().TakeAllTx(items);
        return items;
    }
    // One heartbeat with an empty transmit queue, so that it takes one character.
    void TickOnce()
    {
        TakeTxItems();
        m_pDoc->Tick();
    }

    QTemporaryDir m_FontDir;
    CMemoryProfile m_Profile;
    CFrameHost m_Host;
    std::unique_ptr<CSkrivelDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pFrame;
    bool m_bActive = false;
};
