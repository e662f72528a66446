#include "ui/SoundCardDialog.h"

#include "audio/PulseClient.h"
#include "doc/ProfileSettings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace
{
constexpr int kMinToneHz = 300;
constexpr int kMaxToneHz = 3000;

// The server's default first, then every device; a stored device that is not there now (a USB
// sound card unplugged) stays choosable, so that OK does not lose it.
void Fill(QComboBox* pBox, const std::vector<CAudioDevice>& devices, const std::string& strStored)
{
    pBox->addItem(QStringLiteral("Default"), QString());
    for (const CAudioDevice& device : devices)
        pBox->addItem(QString::fromStdString(device.m_strDescription), QString::fromStdString(device.m_strName));
    const QString strName = QString::fromStdString(strStored);
    if (!strName.isEmpty() && pBox->findData(strName) < 0)
        pBox->addItem(strName + QStringLiteral(" (not present)"), strName);
    pBox->setCurrentIndex(std::max(0, pBox->findData(strName)));
}
} // namespace

CSoundCardDialog::CSoundCardDialog(IProfile& profile, QWidget* pParent)
    : QDialog(pParent), m_Profile(profile), m_pInput(new QComboBox(this)), m_pOutput(new QComboBox(this)),
      m_pTone(new QSpinBox(this)), m_pServerProblem(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Sound card settings"));
    m_pInput->setObjectName(QStringLiteral("m_pInput"));
    m_pOutput->setObjectName(QStringLiteral("m_pOutput"));
    m_pTone->setObjectName(QStringLiteral("m_pTone"));
    m_pTone->setRange(kMinToneHz, kMaxToneHz);
    m_pTone->setSuffix(QStringLiteral(" Hz"));
    m_pTone->setValue(ProfileSettings::Read(m_Profile, ProfileSettings::kAudioTone));
    m_pServerProblem->setWordWrap(true);
    m_pServerProblem->hide();

    auto* pForm = new QFormLayout;
    pForm->addRow(QStringLiteral("&Input (receiver audio):"), m_pInput);
    pForm->addRow(QStringLiteral("&Output (transmitter audio):"), m_pOutput);
    pForm->addRow(QStringLiteral("&Tone:"), m_pTone);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(pButtons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pForm);
    pLayout->addWidget(m_pServerProblem);
    pLayout->addWidget(pButtons);
    FillDevices();
}

void CSoundCardDialog::FillDevices()
{
    std::vector<CAudioDevice> inputs;
    std::vector<CAudioDevice> outputs;
    CPulseClient client("Skrivel");
    if (!client.ListDevices(inputs, outputs))
    {
        m_pServerProblem->setText(QStringLiteral("The sound server does not answer: ") +
                                  QString::fromStdString(client.GetError()));
        m_pServerProblem->show();
    }
    Fill(m_pInput, inputs, ProfileSettings::Read(m_Profile, ProfileSettings::kAudioInputDevice));
    Fill(m_pOutput, outputs, ProfileSettings::Read(m_Profile, ProfileSettings::kAudioOutputDevice));
}

void CSoundCardDialog::OnOK()
{
    ProfileSettings::Write(m_Profile, ProfileSettings::kAudioInputDevice,
                           m_pInput->currentData().toString().toStdString());
    ProfileSettings::Write(m_Profile, ProfileSettings::kAudioOutputDevice,
                           m_pOutput->currentData().toString().toStdString());
    ProfileSettings::Write(m_Profile, ProfileSettings::kAudioTone, m_pTone->value());
    accept();
}

bool CSoundCardDialog::EditSettings(IProfile& profile, QWidget* pParent)
{
    return CSoundCardDialog(profile, pParent).exec() == QDialog::Accepted;
}
