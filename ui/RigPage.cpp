#include "ui/RigPage.h"

#include "link/DeviceList.h"
#include "rig/Rig.h"
#include "rig/RigModels.h"
#include "ui/ChoiceBox.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace
{
constexpr auto kTestTime = std::chrono::seconds(1);
constexpr int kTestShownEveryMs = 100;

struct SMethod
{
    ERigPtt nPtt;
    const char* pszLabel;
};
constexpr SMethod kMethods[] = {
    {ERigPtt::None, "None (the transmitter's VOX)"}, {ERigPtt::Cat, "CAT command to the rig"},
    {ERigPtt::Net, "Network rig (rigctld)"},         {ERigPtt::Rts, "RTS line of a serial port"},
    {ERigPtt::Dtr, "DTR line of a serial port"},     {ERigPtt::Cm108, "CM108 sound card's GPIO"},
};
constexpr int kSpeeds[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

QString FromStd(const std::string& str)
{
    return QString::fromStdString(str);
}

ChoiceBox::Choices ChoicesOf(const std::vector<CDeviceEntry>& devices)
{
    ChoiceBox::Choices choices;
    for (const CDeviceEntry& device : devices)
        choices.emplace_back(FromStd(device.m_strLabel), FromStd(device.m_strPath));
    return choices;
}

QSpinBox* MakeDelayBox(QWidget* pParent, int nMs)
{
    auto* pBox = new QSpinBox(pParent);
    pBox->setRange(0, CRigSettings::kMaxDelayMs);
    pBox->setSuffix(QStringLiteral(" ms"));
    pBox->setValue(nMs);
    return pBox;
}
} // namespace

CRigPage::CRigPage(const CRigSettings& settings, CRig& rig, QWidget* pParent)
    : QWidget(pParent), m_Rig(rig), m_nStoredModel(settings.m_nModel), m_pMethod(new QComboBox(this)),
      m_pModelFilter(new QLineEdit(this)), m_pModels(new QListWidget(this)), m_pDevice(new QComboBox(this)),
      m_pSpeed(new QComboBox(this)), m_pAddress(new QLineEdit(FromStd(settings.m_strAddress), this)),
      m_pLead(MakeDelayBox(this, settings.m_nLeadMs)), m_pTail(MakeDelayBox(this, settings.m_nTailMs)),
      m_pTest(new QPushButton(QStringLiteral("Test PTT"), this)), m_pTestResult(new QLabel(this)),
      m_pTestTimer(new QTimer(this))
{
    for (const SMethod& method : kMethods)
        m_pMethod->addItem(QString::fromLatin1(method.pszLabel),
                           QString::fromLatin1(RigPtt::GetName(method.nPtt)));
    m_pMethod->setCurrentIndex(m_pMethod->findData(QString::fromLatin1(RigPtt::GetName(settings.m_nPtt))));
    m_pModelFilter->setPlaceholderText(QStringLiteral("Type part of the rig's name"));
    m_pModelFilter->setClearButtonEnabled(true);
    FillModels(settings.m_nModel);
    m_pDevice->setEditable(true);
    m_pDevice->setInsertPolicy(QComboBox::NoInsert);
    ChoiceBox::Choices speeds{{QStringLiteral("The rig model's own"), QStringLiteral("0")}};
    for (const int nSpeed : kSpeeds)
        speeds.emplace_back(QString::number(nSpeed), QString::number(nSpeed));
    ChoiceBox::Fill(m_pSpeed, speeds, QString::number(settings.m_nSpeed));
    m_pAddress->setPlaceholderText(QStringLiteral("host:port"));
    m_pTestResult->setWordWrap(true);

    auto* pForm = new QFormLayout;
    pForm->addRow(QStringLiteral("&PTT:"), m_pMethod);
    pForm->addRow(QStringLiteral("Rig &model:"), m_pModelFilter);
    pForm->addRow(QString(), m_pModels);
    pForm->addRow(QStringLiteral("&Device:"), m_pDevice);
    pForm->addRow(QStringLiteral("&Speed:"), m_pSpeed);
    pForm->addRow(QStringLiteral("&Address:"), m_pAddress);
    pForm->addRow(QStringLiteral("&Lead time:"), m_pLead);
    pForm->addRow(QStringLiteral("&Tail time:"), m_pTail);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pForm);
    pLayout->addWidget(m_pTest, 0, Qt::AlignLeft);
    pLayout->addWidget(m_pTestResult);

    // The device box follows the method; a device typed in stays.
    ChoiceBox::Fill(m_pDevice, {}, FromStd(settings.m_strDevice));
    FillDevices();
    OnMethodChanged();
    connect(m_pMethod, &QComboBox::currentIndexChanged, this,
            [this]
            {
                FillDevices();
                OnMethodChanged();
            });
    connect(m_pModelFilter, &QLineEdit::textChanged, this,
            [this](const QString& str) { OnFilterChanged(str); });
    connect(m_pTest, &QPushButton::clicked, this, [this] { OnTestPtt(); });
    m_pTestTimer->setInterval(kTestShownEveryMs);
    connect(m_pTestTimer, &QTimer::timeout, this, [this] { ShowTestResult(); });
}

ERigPtt CRigPage::GetMethod() const
{
    ERigPtt nPtt = ERigPtt::None;
    RigPtt::FromName(m_pMethod->currentData().toString().toStdString(), nPtt);
    return nPtt;
}

void CRigPage::FillModels(int nModel)
{
    for (const CRigModel& model : RigModels::GetAll())
    {
        auto* pItem = new QListWidgetItem(QStringLiteral("%1 %2 (%3)")
                                              .arg(FromStd(model.m_strMaker), FromStd(model.m_strName))
                                              .arg(model.m_nModel),
                                          m_pModels);
        pItem->setData(Qt::UserRole, model.m_nModel);
        if (model.m_nModel == nModel)
            m_pModels->setCurrentItem(pItem);
    }
    if (m_pModels->currentItem() != nullptr)
        m_pModels->scrollToItem(m_pModels->currentItem());
}

void CRigPage::FillDevices()
{
    const QString strDevice = ChoiceBox::GetValue(m_pDevice);
    ChoiceBox::Fill(
        m_pDevice,
        ChoicesOf(GetMethod() == ERigPtt::Cm108 ? DeviceList::GetHidDevices() : DeviceList::GetSerialPorts()),
        strDevice);
}

void CRigPage::OnMethodChanged()
{
    const ERigPtt nPtt = GetMethod();
    const bool bCat = nPtt == ERigPtt::Cat;
    m_pModelFilter->setEnabled(bCat);
    m_pModels->setEnabled(bCat);
    m_pSpeed->setEnabled(bCat);
    m_pDevice->setEnabled(nPtt != ERigPtt::None && nPtt != ERigPtt::Net);
    m_pAddress->setEnabled(nPtt == ERigPtt::Net);
    m_pTest->setEnabled(nPtt != ERigPtt::None);
}

void CRigPage::OnFilterChanged(const QString& strFilter)
{
    for (int i = 0; i < m_pModels->count(); ++i)
    {
        QListWidgetItem* pItem = m_pModels->item(i);
        pItem->setHidden(!pItem->text().contains(strFilter.trimmed(), Qt::CaseInsensitive));
    }
}

CRigSettings CRigPage::GetSettings() const
{
    CRigSettings settings;
    settings.m_nPtt = GetMethod();
    const QListWidgetItem* pModel = m_pModels->currentItem();
    settings.m_nModel = pModel != nullptr ? pModel->data(Qt::UserRole).toInt() : m_nStoredModel;
    settings.m_strDevice = ChoiceBox::GetValue(m_pDevice).toStdString();
    settings.m_nSpeed = ChoiceBox::GetValue(m_pSpeed).toInt();
    settings.m_strAddress = m_pAddress->text().trimmed().toStdString();
    settings.m_nLeadMs = m_pLead->value();
    settings.m_nTailMs = m_pTail->value();
    return settings;
}

void CRigPage::OnTestPtt()
{
    m_Rig.Configure(GetSettings());
    m_nFailuresBeforeTest = m_Rig.GetStatus().m_nFailures;
    m_Rig.TestPtt(kTestTime);
    m_bTested = true;
    m_bTestKeyed = false;
    m_pTestResult->setText(QStringLiteral("Keying..."));
    m_pTestTimer->start();
}

void CRigPage::ShowTestResult()
{
    const CRigStatus status = m_Rig.GetStatus();
    if (status.m_nFailures > m_nFailuresBeforeTest)
    {
        m_pTestTimer->stop();
        m_pTestResult->setText(QStringLiteral("The transmitter could not be keyed: ") +
                               FromStd(status.m_strError));
    }
    else if (status.m_bKeyed)
    {
        m_bTestKeyed = true;
        m_pTestResult->setText(QStringLiteral("PTT ON"));
    }
    else if (m_bTestKeyed)
    {
        m_pTestTimer->stop();
        m_pTestResult->setText(QStringLiteral("Keyed for one second and released."));
    }
}
