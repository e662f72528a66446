#include "ui/PrintCommands.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

void PrintCommands::Print(QPrinter& printer, QWidget* pParent, const Render& render)
{
    QPrintDialog dialog(&printer, pParent);
    if (dialog.exec() == QDialog::Accepted)
        render(printer);
}

void PrintCommands::Preview(QPrinter& printer, QWidget* pParent, const Render& render)
{
    QPrintPreviewDialog dialog(&printer, pParent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&render](QPrinter* pPrinter) { render(*pPrinter); });
    dialog.exec();
}
