// The desktop's print dialog, which asks for a print job. Tests answer it
// with a printer of their own (a PDF file) instead of showing it.
#pragma once

#include <functional>

class QPrinter;
class QWidget;

// Fills in `printer` with the user's choices; false when the user cancelled.
bool AskForPrintJob(QPrinter& printer, QWidget* parent);
// Null restores the desktop's dialog.
using PrintJobAnswer = std::function<bool(QPrinter& printer)>;
void SetPrintJobAnswer(PrintJobAnswer answer);
