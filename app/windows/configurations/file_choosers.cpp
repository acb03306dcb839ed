#include "app/windows/configurations/file_choosers.h"

#include <QFileDialog>

#include "app/framework/keyboard_return.h"

namespace {

FileChooser gChooser;

std::optional<std::string> Desktop(const SChooserRequest& request)
{
    const QString caption = QString::fromStdString(request.caption);
    const QString start = QString::fromStdString(request.start);
    QString chosen;
    const CKeyboardReturn keyboardReturn;
    switch (request.kind) {
    case SChooserRequest::kFolder: chosen = QFileDialog::getExistingDirectory(nullptr, caption, start); break;
    case SChooserRequest::kOpenFile: chosen = QFileDialog::getOpenFileName(nullptr, caption, start); break;
    case SChooserRequest::kSaveFile: chosen = QFileDialog::getSaveFileName(nullptr, caption, start); break;
    }
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
}

}  // namespace

std::optional<std::string> ChooseFile(const SChooserRequest& request)
{
    return gChooser ? gChooser(request) : Desktop(request);
}

void SetFileChooser(FileChooser chooser) { gChooser = std::move(chooser); }
