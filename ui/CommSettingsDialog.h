#pragma once

#include "rig/RigSettings.h"

#include <QDialog>

class CRig;
class CRigPage;
class CSkrivelDoc;
class CSoundCardPage;
class IProfile;
class QComboBox;
class QTabWidget;

// "Comm settings": the whole station on one sheet. The port (the dummy port, the sound card, the
// serial devices present, or any path typed in) and the Hell mode, the sound card's devices and
// tone, and the rig with its PTT. OK stores them and applies them at once: the rig takes its new
// settings, the sound card its mode as the Operate menu gives it, and the port is opened anew if
// it is another one or the sound card with other settings. Cancel changes nothing, and puts back
// the rig that "Test PTT" set up.
class CCommSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    // The document, the profile and the rig must outlive the dialog.
    CCommSettingsDialog(CSkrivelDoc& doc, IProfile& profile, CRig& rig, QWidget* pParent);

    // Runs the dialog; true when the operator chose OK.
    static bool EditSettings(CSkrivelDoc& doc, IProfile& profile, CRig& rig, QWidget* pParent);

    QTabWidget* GetTabs() const { return m_pTabs; }
    QComboBox* GetPortBox() const { return m_pPort; }
    QComboBox* GetModeBox() const { return m_pMode; }
    CSoundCardPage& GetSoundCardPage() const { return *m_pSoundCard; }
    CRigPage& GetRigPage() const { return *m_pRigPage; }

    void reject() override;

private:
    void OnOK();
    // The mode is chosen for the sound card only: for another port the box shows its Feld-Hell,
    // greyed, and the sound card's choice comes back with it.
    void OnPortChanged();
    bool IsSoundCardChosen() const;

    CSkrivelDoc& m_Doc;
    IProfile& m_Profile;
    CRig& m_Rig;
    const CRigSettings m_RigBefore;
    QTabWidget* m_pTabs;
    QComboBox* m_pPort;
    QComboBox* m_pMode;
    int m_nSoundCardMode; // an index of HellModeNames::kAll
    CSoundCardPage* m_pSoundCard;
    CRigPage* m_pRigPage;
};
