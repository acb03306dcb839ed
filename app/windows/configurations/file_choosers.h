// The desktop's file and folder choosers as the configuration panels use
// them. Tests put in their own answers.
#pragma once

#include <functional>
#include <optional>
#include <string>

struct SChooserRequest {
    enum EKind { kFolder, kOpenFile, kSaveFile } kind = kFolder;
    std::string caption{};
    std::string start{};  // folder to start in, or the default file name
};

// The chosen path, or nothing when the user cancelled.
using FileChooser = std::function<std::optional<std::string>(const SChooserRequest& request)>;
std::optional<std::string> ChooseFile(const SChooserRequest& request);
// Null restores the desktop's choosers.
void SetFileChooser(FileChooser chooser);
