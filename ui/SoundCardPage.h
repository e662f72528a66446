#pragma once

#include <QDialog>

class IProfile;
class QComboBox;
class QLabel;
class QSpinBox;

// "Sound card settings": the input and the output device, listed by the descriptions the
// desktop's sound settings show, and the tone. OK stores them in the profile; Cancel changes
// nothing.
class CSoundCardDialog : public QDialog
{
    Q_OBJECT

public:
    CSoundCardDialog(IProfile& profile, QWidget* pParent);

    // Runs the dialog; true when the operator chose OK and the settings were stored.
    static bool EditSettings(IProfile& profile, QWidget* pParent);

    QComboBox* GetInputBox() const { return m_pInput; }
    QComboBox* GetOutputBox() const { return m_pOutput; }
    QSpinBox* GetToneBox() const { return m_pTone; }

private:
    void FillDevices();
    void OnOK();

    IProfile& m_Profile;
    QComboBox* m_pInput;
    QComboBox* m_pOutput;
    QSpinBox* m_pTone;
    QLabel* m_pServerProblem;
};
