// Storing a fetched resource in a file: a bookmark in the mirror, or the body
// into a file that exists.
//
// A bookmark's folders and file come from PrepareLocalFile, which walks the
// chain below the download folder with O_NOFOLLOW and makes every name safe.
// Nothing is written outside the download folder, whatever the URL says.
#include <cerrno>

#include "engine/url/uri_reference.h"
#include "engine/url/url_record.h"
#include "foundation/files/file.h"
#include "foundation/errors/status_codes.h"
#include "foundation/files/whole_file.h"
#include "foundation/mirror/local_mirror.h"
#include "foundation/text/text_encodings.h"

namespace {

bool IsPHPExtension(const std::string& extension)
{
    return extension == ".php" || extension == ".php3" || extension == ".phtml";
}

}  // namespace

std::string CURL::MirrorFileName(const std::string& indexName, bool indexForDynamic, bool remapAllPHP) const
{
    if (IsDynamic() && indexForDynamic) return indexName;
    if (IsPHPExtension(mExtension) && remapAllPHP && indexForDynamic) return indexName;
    if (mFileWithQuery.empty()) return indexName;
    return URLDecode(mFileWithQuery);
}

int CURL::SaveAsBookmark(const CFileRef& downloadFolder, const std::string& defaultName, CFileRef& outFile)
{
    return SaveAsBookmark(downloadFolder, mFileType, mFileCreator, defaultName, outFile);
}

int CURL::SaveAsBookmark(const CFileRef& downloadFolder, std::uint32_t type, std::uint32_t creator,
                         const std::string& defaultName, CFileRef& outFile)
{
    if (!downloadFolder.IsValid()) return -EINVAL;
    std::vector<std::string> segments = MirrorFolderSegments(true);
    std::string name = mFileWithQuery.empty() ? defaultName : URLDecode(mFileWithQuery);
    int status = PrepareLocalFile(true, true, downloadFolder.Path(), segments, name, creator, type, outFile);
    if (status != 0) return status;
    status = WriteWholeFile(outFile, std::string_view()).Code();
    if (status != 0) return status;
    return WriteSavedFileLabels(outFile);
}

int CURL::SaveBodyToFile(const CFileRef& file) const
{
    if (!file.IsValid()) return -EINVAL;
    if (!CFile::IsFile(file)) return -ENOENT;
    return WriteBodyAndLabels(file);
}

int CURL::WriteBodyAndLabels(const CFileRef& file) const
{
    int status = WriteWholeFileWith(file, [this](int fd) { return mBody.WriteTo(fd); }).Code();
    if (status != 0) return status;
    return WriteSavedFileLabels(file);
}

// The record's date, and its URL as the comment the update reads back and as
// the origin that file managers show (without credentials). Every label is tried; the first
// failure is returned.
int CURL::WriteSavedFileLabels(const CFileRef& file) const
{
    int first = 0;
    auto keep = [&first](int status) {
        if (first == 0) first = status;
    };
    if (mModificationSeconds > 0) keep(CFile::SetDates(file, mModificationSeconds, mModificationSeconds));
    keep(CFile::SetFinderComment(file, mURL.c_str()));
    keep(CFile::SetOriginURL(file, WithoutUserInfo(mURL).c_str()));
    return first;
}
