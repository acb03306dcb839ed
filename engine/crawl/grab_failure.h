// Why a grab failed, in the words the windows, their logs and crawl-driver
// show: the start URL gave nothing, or the mirror cannot be written.
#pragma once

#include <string>

class CURL;

// The text both grabber windows show when the download folder is missing
// or unusable.
inline constexpr const char* kDownloadFolderFailure =
    "The download folder for the selected configuration could not be found or created. Please create it manually.";

// "The starting URL could not be grabbed: URL (REASON)": the transfer's
// reason when no response came, else the server's status ("the server
// answered 404 Not Found").
std::string StartURLFailureText(const CURL& url);

// A save that failed with `status` (a negative errno value) because of the
// download folder rather than the one file: the folder is gone, is not a
// folder, or nothing can be created or written in it.
[[nodiscard]] bool IsDownloadFolderUnusable(const std::string& downloadFolder, int status);

// kDownloadFolderFailure, then where and why: " (FOLDER: REASON)".
std::string DownloadFolderFailureText(const std::string& downloadFolder, int status);
