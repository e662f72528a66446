#include "ui/RxDataFileDialog.h"

#include <QFileDialog>

namespace RxDataFileDialog
{
namespace
{
QString Run(QWidget* pParent, QFileDialog::AcceptMode nMode, const QString& strCurrentPath)
{
    QFileDialog dialog(pParent);
    dialog.setAcceptMode(nMode);
    dialog.setFileMode(nMode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Skrivel Rx Data (*.hel)"));
    dialog.setDefaultSuffix(QStringLiteral("hel"));
    if (!strCurrentPath.isEmpty())
        dialog.selectFile(strCurrentPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
} // namespace

QString GetOpenPath(QWidget* pParent)
{
    return Run(pParent, QFileDialog::AcceptOpen, {});
}

QString GetSavePath(QWidget* pParent, const QString& strCurrentPath)
{
    return Run(pParent, QFileDialog::AcceptSave, strCurrentPath);
}
} // namespace RxDataFileDialog
