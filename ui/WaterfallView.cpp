#include "ui/WaterfallView.h"

#include "doc/SkrivelDoc.h"
#include "link/SpectrumLine.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace
{
// The band shown until the first line tells its own.
constexpr double kDefaultFirstHz = 200.0;
constexpr double kDefaultLastHz = 3000.0;

const QColor kToneColour(220, 40, 40);
const QColor kListeningColour(240, 220, 40);
const QColor kTxToneColour(60, 140, 255);

// Levels 0..255 as colours: black, blue, yellow, white.
const std::array<QRgb, 256>& Palette()
{
    static const std::array<QRgb, 256> palette = []
    {
        constexpr std::array<std::array<int, 3>, 4> stops{{{0, 0, 0}, {0, 40, 160}, {230, 210, 40}, {255, 255, 255}}};
        std::array<QRgb, 256> colours{};
        for (int n = 0; n < 256; ++n)
        {
            const double d = n / 255.0 * (stops.size() - 1);
            const auto i = std::min<std::size_t>(static_cast<std::size_t>(d), stops.size() - 2);
            const double f = d - static_cast<double>(i);
            const auto mix = [&](int c)
            { return static_cast<int>(std::lround(stops[i][c] + (stops[i + 1][c] - stops[i][c]) * f)); };
            colours[static_cast<std::size_t>(n)] = qRgb(mix(0), mix(1), mix(2));
        }
        return colours;
    }();
    return palette;
}
} // namespace

CWaterfallView::CWaterfallView(CSkrivelDoc& doc, QWidget* pParent)
    : QWidget(pParent), m_Doc(doc), m_pAfc(new QCheckBox(QStringLiteral("AFC"), this)),
      m_pSplit(new QCheckBox(QStringLiteral("Split"), this)), m_pControls(new QWidget(this)),
      m_dFirstHz(kDefaultFirstHz), m_dLastHz(kDefaultLastHz)
{
    setObjectName(QStringLiteral("m_pWaterfall"));
    m_pAfc->setObjectName(QStringLiteral("m_pAfc"));
    m_pSplit->setObjectName(QStringLiteral("m_pSplit"));
    m_pAfc->setToolTip(QStringLiteral("Find and follow a signal near the tone"));
    m_pSplit->setToolTip(QStringLiteral("Keep the transmit tone where it is when the tone is set"));
    setToolTip(QStringLiteral("Click a signal to listen on it"));
    setFixedHeight(kRulerHeight + kLines);
    setCursor(Qt::CrossCursor);

    auto* pControlsLayout = new QVBoxLayout(m_pControls);
    pControlsLayout->setContentsMargins(4, 0, 4, 0);
    pControlsLayout->addWidget(m_pAfc);
    pControlsLayout->addWidget(m_pSplit);
    m_pControls->setCursor(Qt::ArrowCursor);
    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addStretch(1);
    pLayout->addWidget(m_pControls);
    connect(m_pAfc, &QCheckBox::clicked, this, [this] { m_Doc.OnAfc(); UpdateControls(); });
    connect(m_pSplit, &QCheckBox::clicked, this, [this] { m_Doc.OnSplit(); UpdateControls(); });

    m_Image = QImage(1, kLines, QImage::Format_RGB32);
    m_Image.fill(Qt::black);
    UpdateControls();
}

void CWaterfallView::UpdateControls()
{
    m_pAfc->setChecked(m_Doc.IsAfcOn());
    m_pSplit->setChecked(m_Doc.IsSplit());
    update(GetSpectrumRect());
}

QRect CWaterfallView::GetSpectrumRect() const
{
    return {0, 0, std::max(1, width() - m_pControls->sizeHint().width()), height()};
}

int CWaterfallView::XOfHz(double dHz) const
{
    return static_cast<int>(std::lround((dHz - m_dFirstHz) / (m_dLastHz - m_dFirstHz) * GetSpectrumRect().width()));
}

double CWaterfallView::HzOfX(int x) const
{
    return m_dFirstHz + (x + 0.5) / GetSpectrumRect().width() * (m_dLastHz - m_dFirstHz);
}

void CWaterfallView::AddSpectrumLine(const CSpectrumLine& line)
{
    const auto nBins = static_cast<int>(line.m_Levels.size());
    if (nBins == 0)
        return;
    if (m_Image.width() != nBins)
    {
        m_Image = QImage(nBins, kLines, QImage::Format_RGB32);
        m_Image.fill(Qt::black);
    }
    // Each bin's pixel is centred on its frequency.
    m_dFirstHz = line.m_dFirstHz - line.m_dBinHz / 2;
    m_dLastHz = m_dFirstHz + line.m_dBinHz * nBins;
    // The older lines move down by one; the new one goes on top.
    for (int y = kLines - 1; y > 0; --y)
        std::memcpy(m_Image.scanLine(y), m_Image.constScanLine(y - 1), static_cast<std::size_t>(m_Image.bytesPerLine()));
    auto* pTop = reinterpret_cast<QRgb*>(m_Image.scanLine(0));
    for (int i = 0; i < nBins; ++i)
        pTop[i] = Palette()[line.m_Levels[static_cast<std::size_t>(i)]];
    update(GetSpectrumRect());
}

void CWaterfallView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect spectrum = GetSpectrumRect();
    painter.fillRect(QRect(0, 0, spectrum.width(), kRulerHeight), palette().window());
    painter.drawImage(QRect(0, kRulerHeight, spectrum.width(), kLines), m_Image);
    // The ruler: a tick every 500 Hz.
    painter.setPen(palette().windowText().color());
    for (int nHz = 500; nHz < m_dLastHz; nHz += 500)
        painter.drawLine(XOfHz(nHz), kRulerHeight - 4, XOfHz(nHz), kRulerHeight - 1);
    // The marks on the ruler: where the receiver listens, the transmit tone when it differs, and
    // the tone, whose line runs down through the spectrum.
    const auto mark = [&](double dHz, const QColor& colour, int nBottom)
    {
        const int x = XOfHz(dHz);
        painter.setPen(colour);
        painter.drawLine(x, 0, x, nBottom);
        painter.setBrush(colour);
        painter.drawPolygon(QPolygon({QPoint(x - 4, 0), QPoint(x + 4, 0), QPoint(x, 5)}));
    };
    if (m_Doc.IsAfcOn())
        mark(m_Doc.GetListeningHz(), kListeningColour, kRulerHeight - 1);
    if (m_Doc.GetTxToneHz() != m_Doc.GetToneHz())
        mark(m_Doc.GetTxToneHz(), kTxToneColour, kRulerHeight - 1);
    mark(m_Doc.GetToneHz(), kToneColour, spectrum.height() - 1);
}

void CWaterfallView::mousePressEvent(QMouseEvent* pEvent)
{
    const QPoint at = pEvent->position().toPoint();
    if (pEvent->button() != Qt::LeftButton || !GetSpectrumRect().contains(at))
    {
        QWidget::mousePressEvent(pEvent);
        return;
    }
    m_Doc.SetToneHz(static_cast<int>(std::lround(std::clamp(HzOfX(at.x()), m_dFirstHz, m_dLastHz))));
    update(GetSpectrumRect());
}
