#include "tests/windows/print_to_pdf.h"

#include <filesystem>

#include <QPrinter>

#include "app/framework/print_job.h"
#include "tests/support/pdf_text.h"

CPrintToPdf::CPrintToPdf(std::string path, bool cancelled) : mPath(std::move(path))
{
    std::error_code error;
    std::filesystem::remove(mPath, error);
    SetPrintJobAnswer([path = mPath, cancelled](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(path));
        return !cancelled;
    });
}

CPrintToPdf::~CPrintToPdf() { SetPrintJobAnswer({}); }

std::vector<std::string> CPrintToPdf::Pages() const { return testsupport::PdfPageTexts(mPath); }

std::string CPrintToPdf::AllText() const
{
    std::string all;
    for (const std::string& page : Pages()) all += page;
    return all;
}
