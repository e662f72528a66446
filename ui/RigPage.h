#pragma once

#include "rig/RigSettings.h"

#include <QWidget>

class CRig;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTimer;

// The rig's page of the Comm settings: how the transmitter is keyed, with what that needs (a
// rig model, found by typing part of its name, and its serial device and speed; the rig server's
// address; the serial or CM108 device of a PTT line), the lead and tail times, and "Test PTT",
// which sets the rig up as the page shows and keys it for one second.
class CRigPage : public QWidget
{
    Q_OBJECT

public:
    // The rig must outlive the page.
    CRigPage(const CRigSettings& settings, CRig& rig, QWidget* pParent);

    // The settings as the page shows them.
    CRigSettings GetSettings() const;
    // Whether "Test PTT" has set the rig up with the page's settings.
    bool HasTested() const { return m_bTested; }

    QComboBox* GetMethodBox() const { return m_pMethod; }
    QLineEdit* GetModelFilter() const { return m_pModelFilter; }
    QListWidget* GetModelList() const { return m_pModels; }
    QComboBox* GetDeviceBox() const { return m_pDevice; }
    QComboBox* GetSpeedBox() const { return m_pSpeed; }
    QLineEdit* GetAddressEdit() const { return m_pAddress; }
    QSpinBox* GetLeadBox() const { return m_pLead; }
    QSpinBox* GetTailBox() const { return m_pTail; }
    QPushButton* GetTestButton() const { return m_pTest; }
    QLabel* GetTestResult() const { return m_pTestResult; }

private:
    ERigPtt GetMethod() const;
    void FillModels(int nModel);
    void FillDevices();
    void OnMethodChanged();
    void OnFilterChanged(const QString& strFilter);
    void OnTestPtt();
    void ShowTestResult();

    CRig& m_Rig;
    const int m_nStoredModel;
    QComboBox* m_pMethod;
    QLineEdit* m_pModelFilter;
    QListWidget* m_pModels;
    QComboBox* m_pDevice;
    QComboBox* m_pSpeed;
    QLineEdit* m_pAddress;
    QSpinBox* m_pLead;
    QSpinBox* m_pTail;
    QPushButton* m_pTest;
    QLabel* m_pTestResult;
    QTimer* m_pTestTimer;
    bool m_bTested = false;
    bool m_bTestKeyed = false;
    int m_nFailuresBeforeTest = 0;
};
