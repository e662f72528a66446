#include "ui/CommSettingsDialog.h"

#include "doc/ProfileSettings.h"
#include "doc/SkrivelDoc.h"
#include "link/DeviceList.h"
#include "link/HellModeNames.h"
#include "link/PortName.h"
#include "rig/Rig.h"
#include "ui/ChoiceBox.h"
#include "ui/RigPage.h"
#include "ui/RigProfile.h"
#include "ui/SoundCardPage.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace
{
// The port page: the kinds of port and the serial devices present, a path may be typed in; and
// the Hell mode, by the names the Operate menu shows.
QWidget* MakePortPage(QComboBox* pPort, const std::string& strPort, QComboBox* pMode)
{
    ChoiceBox::Choices choices{
        {QStringLiteral("Dummy port"), QString::fromLatin1(PortName::kDummy)},
        {QStringLiteral("Sound card"), QString::fromLatin1(CSkrivelDoc::kSoundCardPort)}};
    for (const CDeviceEntry& device : DeviceList::GetSerialPorts())
        choices.emplace_back(QString::fromStdString(device.m_strLabel),
                             QString::fromStdString(device.m_strPath));
    pPort->setEditable(true);
    pPort->setInsertPolicy(QComboBox::NoInsert);
    ChoiceBox::Fill(pPort, choices, QString::fromStdString(strPort));
    for (const HellModeNames::SName& mode : HellModeNames::kAll)
        pMode->addItem(QString::fromUtf8(mode.m_strName.data()));

    auto* pPage = new QWidget;
    auto* pForm = new QFormLayout;
    pForm->addRow(QStringLiteral("&Port:"), pPort);
    pForm->addRow(QStringLiteral("&Mode:"), pMode);
    auto* pHint =
        new QLabel(QStringLiteral("A board's serial device, the sound card, or the path of any other "
                                  "device, which may be typed in. The mode is the sound card's: a "
                                  "board and the dummy port work Feld-Hell only."),
                   pPage);
    pHint->setWordWrap(true);
    auto* pLayout = new QVBoxLayout(pPage);
    pLayout->addLayout(pForm);
    pLayout->addWidget(pHint);
    pLayout->addStretch();
    return pPage;
}
} // namespace

CCommSettingsDialog::CCommSettingsDialog(CSkrivelDoc& doc, IProfile& profile, CRig& rig, QWidget* pParent)
    : QDialog(pParent), m_Doc(doc), m_Profile(profile), m_Rig(rig), m_RigBefore(rig.GetSettings()),
      m_pTabs(new QTabWidget(this)), m_pPort(new QComboBox(this)), m_pMode(new QComboBox(this)),
      m_nSoundCardMode(doc.GetStoredMode()), m_pSoundCard(new CSoundCardPage(profile, this)),
      m_pRigPage(new CRigPage(RigProfile::Read(profile), rig, this))
{
    setWindowTitle(QStringLiteral("Comm settings"));
    // The port in use; with none, the one stored.
    const std::string strPort = doc.GetPortName().empty()
                                    ? ProfileSettings::Read(profile, ProfileSettings::kPort)
                                    : doc.GetPortName();
    m_pTabs->addTab(MakePortPage(m_pPort, strPort, m_pMode), QStringLiteral("Port"));
    connect(m_pMode, &QComboBox::currentIndexChanged, this,
            [this](int nIndex)
            {
                if (m_pMode->isEnabled())
                    m_nSoundCardMode = nIndex;
            });
    connect(m_pPort, &QComboBox::currentTextChanged, this, [this] { OnPortChanged(); });
    OnPortChanged();
    m_pTabs->addTab(m_pSoundCard, QStringLiteral("Sound card"));
    m_pTabs->addTab(m_pRigPage, QStringLiteral("Rig"));

    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    pButtons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(pButtons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pTabs);
    pLayout->addWidget(pButtons);
}

void CCommSettingsDialog::OnOK()
{
    const std::string strPort = ChoiceBox::GetValue(m_pPort).toStdString();
    ProfileSettings::Write(m_Profile, ProfileSettings::kPort, strPort);
    const bool bSoundCardChanged = m_pSoundCard->Store(m_Profile);
    // Stored before the port is opened, so that a sound card opened now starts in it.
    if (IsSoundCardChosen())
        m_Doc.SetMode(m_nSoundCardMode);
    const CRigSettings rig = m_pRigPage->GetSettings();
    RigProfile::Write(m_Profile, rig);
    m_Rig.Configure(rig);
    accept();
    // The port last: a port that cannot be opened says so, over the closed dialog.
    if (strPort != m_Doc.GetPortName() || (bSoundCardChanged && strPort == CSkrivelDoc::kSoundCardPort))
        m_Doc.OnSelectPort(strPort);
}

bool CCommSettingsDialog::IsSoundCardChosen() const
{
    return ChoiceBox::GetValue(m_pPort) == QLatin1String(CSkrivelDoc::kSoundCardPort);
}

void CCommSettingsDialog::OnPortChanged()
{
    const bool bSoundCard = IsSoundCardChosen();
    // Greyed before it shows Feld-Hell, so that the sound card's choice is kept.
    m_pMode->setEnabled(bSoundCard);
    m_pMode->setCurrentIndex(bSoundCard ? m_nSoundCardMode : 0);
}

void CCommSettingsDialog::reject()
{
    if (m_pRigPage->HasTested())
        m_Rig.Configure(m_RigBefore);
    QDialog::reject();
}

bool CCommSettingsDialog::EditSettings(CSkrivelDoc& doc, IProfile& profile, CRig& rig, QWidget* pParent)
{
    return CCommSettingsDialog(doc, profile, rig, pParent).exec() == QDialog::Accepted;
}
