#include "app/framework/print_job.h"

#include <QPrintDialog>
#include <QPrinter>

#include "app/framework/keyboard_return.h"

namespace {

PrintJobAnswer& Answer()
{
    static PrintJobAnswer answer;
    return answer;
}

}  // namespace

bool AskForPrintJob(QPrinter& printer, QWidget* parent)
{
    if (Answer()) return Answer()(printer);
    const CKeyboardReturn keyboardReturn;
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void SetPrintJobAnswer(PrintJobAnswer answer) { Answer() = std::move(answer); }
