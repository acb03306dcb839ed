#include "engine/crawl/grab_start.h"

#include <cerrno>
#include <string_view>

#include "engine/config/configuration.h"
#include "foundation/files/file.h"
#include "foundation/text/text_encodings.h"

namespace {

bool HasGrabScheme(const std::string& url)
{
    for (std::string_view scheme : {"http://", "ftp://", "https://"})
        if (url.size() >= scheme.size() && CompareTextNoCase(url.c_str(), scheme.data(), scheme.size()) == 0)
            return true;
    return false;
}

}  // namespace

std::string StartURLForGrab(const CConfiguration& configuration, const std::string& typed)
{
    std::string url = typed;
    const CFormOptions& form = configuration.mFormOptions;
    if (!form.formActionURL.IsEmpty() && form.inputItemList.Count() > 0) url = form.formActionURL.c_str();
    if (!HasGrabScheme(url)) url.insert(0, "http://");
    return url;
}

int MakeDownloadFolder(const CConfiguration& configuration)
{
    std::string localPath = configuration.mGeneralOptions.localPath.c_str();
    // "/home/me/Downloads/" names the same folder as without its slash.
    while (localPath.size() > 1 && localPath.back() == '/') localPath.pop_back();
    const std::size_t slash = localPath.find_last_of('/');
    if (slash == std::string::npos || slash + 1 >= localPath.size()) return -EINVAL;
    CFileRef made;
    const int status = CFile::CreateFolderIfMissing(CFileRef(localPath.substr(0, slash == 0 ? 1 : slash)),
                                                    localPath.substr(slash + 1).c_str(), made);
    return status == 0 ? 0 : (status < 0 ? status : -EIO);
}
