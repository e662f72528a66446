#pragma once

#include <functional>

class QPrinter;
class QWidget;

// The print and print-preview commands of a view, on the printer that Print Setup configures.
namespace PrintCommands
{
// Draws the view onto a printer.
using Render = std::function<void(QPrinter& printer)>;

// Shows the print dialog and, once it is accepted, renders onto the printer.
void Print(QPrinter& printer, QWidget* pParent, const Render& render);
// Shows the print preview, which renders as often as it needs to.
void Preview(QPrinter& printer, QWidget* pParent, const Render& render);
} // namespace PrintCommands
