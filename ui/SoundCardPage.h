#pragma once

#include <QWidget>

class IProfile;
class QComboBox;
class QLabel;
class QSpinBox;

// The sound card's page of the Comm settings: the input and the output device, listed by the
// descriptions the desktop's sound settings show, and the tone.
class CSoundCardPage : public QWidget
{
    Q_OBJECT

public:
    // Shows the stored settings.
    CSoundCardPage(IProfile& profile, QWidget* pParent);

    // Stores what the page shows; true when that differs from what was stored.
    bool Store(IProfile& profile) const;

    QComboBox* GetInputBox() const { return m_pInput; }
    QComboBox* GetOutputBox() const { return m_pOutput; }
    QSpinBox* GetToneBox() const { return m_pTone; }

private:
    void FillDevices(IProfile& profile);

    QComboBox* m_pInput;
    QComboBox* m_pOutput;
    QSpinBox* m_pTone;
    QLabel* m_pServerProblem;
};
