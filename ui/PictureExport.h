#pragma once

#include <QColor>
#include <QRect>
#include <QString>

#include <functional>
#include <string>

class QPainter;
class QWidget;

// File, Export Picture...: the receive picture as a PNG file, drawn a strip at a time, so that a
// day's picture is written without being held in memory whole.
namespace PictureExport
{
// Draws the part rPart of the image on painter, in the image's coordinates.
using Render = std::function<void(QPainter& painter, const QRect& rPart)>;

// Asks for the file to write, and whether only the part of the picture in view goes into it.
// False when the operator cancels.
bool Ask(QWidget* pParent, QString& strPath, bool& bInViewOnly);

// Writes an image nWidth x nHeight that render draws over the background colour: grey when the
// background is grey, else in colour. The file replaces an old one only once it is whole.
// 0 or the errno of the failure.
int Write(const std::string& strPath, int nWidth, int nHeight, const QColor& background, const Render& render);
} // namespace PictureExport
