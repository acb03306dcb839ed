#include "engine/crawl/grab_start.h"

#include <sys/stat.h>

#include <cerrno>
#include <string_view>

#include "engine/config/configuration.h"
#include "foundation/files/file.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

bool HasGrabScheme(const std::string& url)
{
    for (std::string_view scheme : {"http://", "ftp://", "https://"})
        if (url.size() >= scheme.size() && CompareTextNoCase(url.c_str(), scheme.data(), scheme.size()) == 0)
            return true;
    return false;
}

// The length of a leading "scheme://" (a letter, then letters, digits,
// '+', '-' or '.'), 0 when there is none.
std::size_t SchemePrefixLength(std::string_view url)
{
    const std::size_t colon = url.find("://");
    if (colon == std::string_view::npos || colon == 0 || !IsAsciiAlpha(static_cast<unsigned char>(url[0]))) return 0;
    for (std::size_t i = 1; i < colon; ++i) {
        const auto c = static_cast<unsigned char>(url[i]);
        if (!IsAsciiAlpha(c) && !IsAsciiDigit(c) && c != '+' && c != '-' && c != '.') return 0;
    }
    return colon + 3;
}

}  // namespace

std::string StartURLForGrab(const CConfiguration& configuration, const std::string& typed)
{
    std::string url = typed;
    const CFormOptions& form = configuration.mFormOptions;
    if (!form.formActionURL.IsEmpty() && form.inputItemList.Count() > 0) url = form.formActionURL.c_str();
    if (!HasGrabScheme(url) && SchemePrefixLength(url) == 0) url.insert(0, "http://");
    return url;
}

std::string UnsupportedSchemeRefusal(const std::string& url)
{
    if (HasGrabScheme(url) || SchemePrefixLength(url) == 0) return {};
    return "The starting URL is not an http, https or ftp URL: " + url;
}

CStatus MakeDownloadFolder(const CConfiguration& configuration)
{
    std::string localPath = configuration.mGeneralOptions.localPath.c_str();
    // "/home/me/Downloads/" names the same folder as without its slash.
    while (localPath.size() > 1 && localPath.back() == '/') localPath.pop_back();
    const std::size_t slash = localPath.find_last_of('/');
    if (slash == std::string::npos || slash + 1 >= localPath.size()) return CStatus::FromCode(-EINVAL);
    CFileRef made;
    if (CStatus status = CFile::CreateFolderIfMissing(CFileRef(localPath.substr(0, slash == 0 ? 1 : slash)),
                                                      localPath.substr(slash + 1).c_str(), made);
        status.Failed())
        return status;
    // A file of the folder's name would take every save of the grab.
    struct stat info {};
    if (::stat(made.c_str(), &info) != 0) return CStatus::FromCode(-errno);
    return CStatus::FromCode(S_ISDIR(info.st_mode) ? 0 : -ENOTDIR);
}
