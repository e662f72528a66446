#include "ui/SoundCardPage.h"

#include "audio/PulseClient.h"
#include "doc/ProfileSettings.h"
#include "ui/ChoiceBox.h"

#include <QComboBox>
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
    ChoiceBox::Choices choices{{QStringLiteral("Default"), QString()}};
    for (const CAudioDevice& device : devices)
        choices.emplace_back(QString::fromStdString(device.m_strDescription),
                             QString::fromStdString(device.m_strName));
    ChoiceBox::Fill(pBox, choices, QString::fromStdString(strStored), QStringLiteral("%1 (not present)"));
}

std::string ValueOf(const QComboBox* pBox)
{
    return ChoiceBox::GetValue(pBox).toStdString();
}
} // namespace

CSoundCardPage::CSoundCardPage(IProfile& profile, QWidget* pParent)
    : QWidget(pParent), m_pInput(new QComboBox(this)), m_pOutput(new QComboBox(this)),
      m_pTone(new QSpinBox(this)), m_pServerProblem(new QLabel(this))
{
    m_pInput->setObjectName(QStringLiteral("m_pInput"));
    m_pOutput->setObjectName(QStringLiteral("m_pOutput"));
    m_pTone->setObjectName(QStringLiteral("m_pTone"));
    m_pTone->setRange(kMinToneHz, kMaxToneHz);
    m_pTone->setSuffix(QStringLiteral(" Hz"));
    m_pTone->setValue(ProfileSettings::Read(profile, ProfileSettings::kAudioTone));
    m_pServerProblem->setWordWrap(true);
    m_pServerProblem->hide();

    auto* pForm = new QFormLayout;
    pForm->addRow(QStringLiteral("&Input (receiver audio):"), m_pInput);
    pForm->addRow(QStringLiteral("&Output (transmitter audio):"), m_pOutput);
    pForm->addRow(QStringLiteral("&Tone:"), m_pTone);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pForm);
    pLayout->addWidget(m_pServerProblem);
    pLayout->addStretch();
    FillDevices(profile);
}

void CSoundCardPage::FillDevices(IProfile& profile)
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
    Fill(m_pInput, inputs, ProfileSettings::Read(profile, ProfileSettings::kAudioInputDevice));
    Fill(m_pOutput, outputs, ProfileSettings::Read(profile, ProfileSettings::kAudioOutputDevice));
}

bool CSoundCardPage::Store(IProfile& profile) const
{
    const bool bChanged =
        ValueOf(m_pInput) != ProfileSettings::Read(profile, ProfileSettings::kAudioInputDevice) ||
        ValueOf(m_pOutput) != ProfileSettings::Read(profile, ProfileSettings::kAudioOutputDevice) ||
        m_pTone->value() != ProfileSettings::Read(profile, ProfileSettings::kAudioTone);
    ProfileSettings::Write(profile, ProfileSettings::kAudioInputDevice, ValueOf(m_pInput));
    ProfileSettings::Write(profile, ProfileSettings::kAudioOutputDevice, ValueOf(m_pOutput));
    ProfileSettings::Write(profile, ProfileSettings::kAudioTone, m_pTone->value());
    return bChanged;
}
