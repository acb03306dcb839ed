#include "engine/crawl/grab_failure.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/url/url_record.h"

std::string StartURLFailureText(const CURL& url)
{
    std::string reason;
    if (url.mStatusCode != 0) {
        std::string status(url.mStatusLine.View());
        // "HTTP/1.1 404 Not Found" -> "404 Not Found"
        if (const std::size_t blank = status.find(' '); blank != std::string::npos) status.erase(0, blank + 1);
        while (!status.empty() && (status.back() == '\r' || status.back() == '\n')) status.pop_back();
        if (status.empty()) status = std::to_string(url.mStatusCode);
        reason = "the server answered " + status;
    } else if (!url.mFailureText.empty()) {
        reason = url.mFailureText;
    } else {
        reason = "no answer";
    }
    return "The starting URL could not be grabbed: " + url.mURL + " (" + reason + ")";
}

bool IsDownloadFolderUnusable(const std::string& downloadFolder, int status)
{
    switch (-status) {
    case EACCES:
    case EPERM:
    case EROFS:
    case ENOSPC:
    case EDQUOT:
        return true;
    default:
        break;
    }
    struct stat info {};
    if (::stat(downloadFolder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return true;
    return ::access(downloadFolder.c_str(), W_OK | X_OK) != 0;
}

std::string DownloadFolderFailureText(const std::string& downloadFolder, int status)
{
    const int error = status < 0 ? -status : EIO;
    return std::string(kDownloadFolderFailure) + " (" + downloadFolder + ": " + std::strerror(error) + ")";
}
