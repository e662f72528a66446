#include "ui/PictureExport.h"

#include "doc/AtomicFile.h"
#include "ui/PngWriter.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace
{
constexpr int kStripHeight = 120; // rows drawn at a time

// One row of the strip as the PNG has it: grey bytes or RGB triples.
void ToPngRow(const QRgb* pPixels, int nWidth, CPngWriter::EColour nColour, std::vector<std::uint8_t>& row)
{
    std::uint8_t* pOut = row.data();
    for (int x = 0; x < nWidth; ++x)
    {
        if (nColour == CPngWriter::EColour::Grey)
        {
            *pOut++ = static_cast<std::uint8_t>(qRed(pPixels[x]));
            continue;
        }
        *pOut++ = static_cast<std::uint8_t>(qRed(pPixels[x]));
        *pOut++ = static_cast<std::uint8_t>(qGreen(pPixels[x]));
        *pOut++ = static_cast<std::uint8_t>(qBlue(pPixels[x]));
    }
}
} // namespace

bool PictureExport::Ask(QWidget* pParent, QString& strPath, bool& bInViewOnly)
{
    // Qt's own dialog, which has room for the choice of the part in view.
    QFileDialog dialog(pParent, QStringLiteral("Export Picture"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("PNG Images (*.png)"));
    dialog.setDefaultSuffix(QStringLiteral("png"));
    auto* pInView = new QCheckBox(QStringLiteral("Only the part in view"), &dialog);
    pInView->setObjectName(QStringLiteral("inViewOnly"));
    pInView->setChecked(bInViewOnly);
    if (auto* pGrid = qobject_cast<QGridLayout*>(dialog.layout()))
        pGrid->addWidget(pInView, pGrid->rowCount(), 0, 1, -1);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    strPath = dialog.selectedFiles().constFirst();
    bInViewOnly = pInView->isChecked();
    return true;
}

int PictureExport::Write(const std::string& strPath, int nWidth, int nHeight, const QColor& background,
                         const Render& render)
{
    if (nWidth <= 0 || nHeight <= 0)
        return EINVAL;
    CAtomicFile file;
    if (const int nError = file.Create(strPath); nError != 0)
        return nError;
    const QRgb nBackground = background.rgb();
    const CPngWriter::EColour nColour = qRed(nBackground) == qGreen(nBackground) && qRed(nBackground) == qBlue(nBackground)
                                            ? CPngWriter::EColour::Grey
                                            : CPngWriter::EColour::Rgb;
    CPngWriter png(file.GetDescriptor(), nWidth, nHeight, nColour);
    QImage strip(nWidth, std::min(kStripHeight, nHeight), QImage::Format_RGB32);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(nWidth) * 3);
    for (int nTop = 0; nTop < nHeight; nTop += strip.height())
    {
        const int nRows = std::min(strip.height(), nHeight - nTop);
        strip.fill(background);
        QPainter painter(&strip);
        painter.translate(0, -nTop);
        render(painter, QRect(0, nTop, nWidth, nRows));
        painter.end();
        for (int y = 0; y < nRows; ++y)
        {
            ToPngRow(reinterpret_cast<const QRgb*>(strip.constScanLine(y)), nWidth, nColour, row);
            png.AddRow(row.data());
        }
    }
    if (const int nError = png.Finish(); nError != 0)
        return nError;
    return file.Commit();
}
