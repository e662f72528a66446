#include "ui/PictureBar.h"

#include "doc/SkrivelDoc.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>


namespace
{
constexpr int kSliderWidth = 100;
constexpr int kStep = 10;

// A control with its label before it; the prompt shows in the status bar.
template <class TControl> TControl* AddControl(QToolBar& bar, const char* pszLabel, const char* pszName, const char* pszPrompt)
{
    auto* pLabel = new QLabel(QString::fromLatin1(pszLabel), &bar);
    pLabel->setContentsMargins(6, 0, 3, 0);
    bar.addWidget(pLabel);
    auto* pControl = new TControl(&bar);
    pControl->setObjectName(QString::fromLatin1(pszName));
    pControl->setStatusTip(QString::fromLatin1(pszPrompt));
    pLabel->setBuddy(pControl);
    bar.addWidget(pControl);
    return pControl;
}

QSlider* AddSlider(QToolBar& bar, const char* pszLabel, const char* pszName, const char* pszPrompt)
{
    auto* pSlider = AddControl<QSlider>(bar, pszLabel, pszName, pszPrompt);
    pSlider->setOrientation(Qt::Horizontal);
    pSlider->setRange(SPictureSettings::kMinLevel, SPictureSettings::kMaxLevel);
    pSlider->setPageStep(kStep);
    pSlider->setFixedWidth(kSliderWidth);
    pSlider->setFocusPolicy(Qt::NoFocus);
    return pSlider;
}
} // namespace

CPictureBar::CPictureBar(CSkrivelDoc& doc, QWidget* pParent)
    : QToolBar(QStringLiteral("Picture"), pParent), m_Doc(doc)
{
    m_pBrightness = AddSlider(*this, "Brightness", "brightness", "Paint the received picture brighter or darker");
    m_pContrast = AddSlider(*this, "Contrast", "contrast", "Paint the received picture with more or less contrast");
    m_pZoom = AddControl<QComboBox>(*this, "Zoom", "zoom", "Show the picture larger or smaller");
    for (const int nZoom : SPictureSettings::kZoomSteps)
        m_pZoom->addItem(QStringLiteral("%1%").arg(nZoom), nZoom);
    m_pZoom->setFocusPolicy(Qt::NoFocus);
    m_pSlant = AddControl<QSpinBox>(*this, "Slant", "slant",
                                    "Straighten slanted text: the station's clock offset in ppm; or drag along a slanted edge");
    m_pSlant->setRange(-SPictureSettings::kMaxSlant, SPictureSettings::kMaxSlant);
    m_pSlant->setSingleStep(kStep);
    m_pSlant->setSuffix(QStringLiteral(" ppm"));
    m_pSlant->setFocusPolicy(Qt::ClickFocus);
    m_pSlant->setKeyboardTracking(false);
    Update();

    connect(m_pBrightness, &QSlider::valueChanged, this, &CPictureBar::Apply);
    connect(m_pContrast, &QSlider::valueChanged, this, &CPictureBar::Apply);
    connect(m_pZoom, &QComboBox::currentIndexChanged, this, &CPictureBar::Apply);
    connect(m_pSlant, &QSpinBox::valueChanged, this, &CPictureBar::Apply);
}

void CPictureBar::Update()
{
    const SPictureSettings& settings = m_Doc.m_Picture;
    const QSignalBlocker blockBrightness(m_pBrightness);
    const QSignalBlocker blockContrast(m_pContrast);
    const QSignalBlocker blockZoom(m_pZoom);
    const QSignalBlocker blockSlant(m_pSlant);
    m_pBrightness->setValue(settings.nBrightness);
    m_pContrast->setValue(settings.nContrast);
    m_pZoom->setCurrentIndex(m_pZoom->findData(settings.nZoom));
    m_pSlant->setValue(settings.nSlant);
}

void CPictureBar::Apply()
{
    m_Doc.SetPicture({m_pBrightness->value(), m_pContrast->value(), m_pZoom->currentData().toInt(), m_pSlant->value()});
}
