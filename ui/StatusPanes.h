#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

class QLabel;
class QStatusBar;

// The panes of the status bar: the message pane (prompts, otherwise "For Help, press F1"), the
// port and its state, the Hell mode, the transmitter's PTT and the rig's frequency where the port
// keys it, the operating status, and the CAP, NUM and SCRL indicators where the platform tells the
// lock keys.
class CStatusPanes : public QObject
{
    Q_OBJECT

public:
    static const char kIdleText[];
    static const char kStatusPlaceholder[];

    explicit CStatusPanes(QStatusBar* pStatusBar);

    void SetOperatingStatus(const QString& strText);
    QString GetOperatingStatus() const;
    // Received samples lost because they were not taken in time; the pane shows only while
    // there are any.
    void SetDroppedSamples(std::uint64_t nDropped);
    // The port pane's text, and why its device is missing as its tool tip; a label that shows
    // them already is left untouched.
    void SetPortStatus(const QString& strText, const QString& strReason = {});
    QLabel* GetPortLabel() const { return m_pPort; }
    // The PTT pane's text, with why the rig cannot be had as its tool tip, and the rig's frequency
    // and mode; each pane shows only while it has a text.
    void SetPttStatus(const QString& strText, const QString& strProblem, const QString& strRig);
    QLabel* GetPttLabel() const { return m_pPtt; }
    QLabel* GetRigLabel() const { return m_pRig; }
    // The Hell mode's name.
    void SetMode(const QString& strName);
    QLabel* GetModeLabel() const { return m_pMode; }
    // Reads the lock keys again.
    void UpdateIndicators();

    QLabel* GetStatusLabel() const { return m_pStatus; }
    QLabel* GetIdleLabel() const { return m_pIdle; }

protected:
    // Lock-key presses anywhere in the program, and the window coming back to the front.
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    QLabel* AddPane(QStatusBar* pStatusBar, const QString& strSizeText);

    QLabel* m_pIdle;
    QLabel* m_pPort;
    QLabel* m_pPtt;
    QLabel* m_pRig;
    QLabel* m_pMode;
    QLabel* m_pStatus;
    QLabel* m_pDropped;
    QLabel* m_pCaps;
    QLabel* m_pNum;
    QLabel* m_pScroll;
    // Scroll Lock usually has no indicator in the keymap: its presses are counted instead.
    bool m_bScrollLock = false;
};
