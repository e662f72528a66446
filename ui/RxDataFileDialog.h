#pragma once

#include <QString>

class QWidget;

// The file dialogs of Load Rx Data and Save Rx Data As: filtered on receive-data files, and a
// name typed without extension gets ".hel".
namespace RxDataFileDialog
{
// The chosen file, or an empty string when the operator cancels.
QString GetOpenPath(QWidget* pParent);
QString GetSavePath(QWidget* pParent, const QString& strCurrentPath);
} // namespace RxDataFileDialog
