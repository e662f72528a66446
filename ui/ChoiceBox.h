#pragma once

#include <QString>

#include <utility>
#include <vector>

class QComboBox;

// A combo box of choices, each shown by a label and standing for a value (a device's name or
// path), such as the settings' devices.
namespace ChoiceBox
{
using Choices = std::vector<std::pair<QString, QString>>; // label, value

// Fills the box and chooses the stored value. A stored value that is not among the choices (a
// device unplugged, a path typed earlier) stays choosable, shown as strMissingLabel with %1 for
// the value.
void Fill(QComboBox* pBox, const Choices& choices, const QString& strStored,
          const QString& strMissingLabel = QStringLiteral("%1"));
// The chosen value; in a box that can be typed into, what was typed unless it is a choice's label.
QString GetValue(const QComboBox* pBox);
} // namespace ChoiceBox
