// Storing a fetched resource in the mirror.
//
// Folders and file come from PrepareLocalFile, which walks the chain below
// the download folder with O_NOFOLLOW and makes every name safe; the body
// then replaces the file whole. Nothing is written outside the download
// folder, whatever the URL says.
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

int CURL::SaveToDisk(bool write, bool replace, const CFileRef& downloadFolder, std::uint32_t type,
                     std::uint32_t creator, const std::string& indexName, const std::string& urlText,
                     bool indexForDynamic, bool remapAllPHP, CFileRef& outFile, bool flat)
{
    if (!urlText.empty() && urlText != mURL) ReparseAs(urlText);
    if (!downloadFolder.IsValid()) return -EINVAL;
    std::vector<std::string> segments = MirrorFolderSegments(!flat);
    std::string name = MirrorFileName(indexName, indexForDynamic, remapAllPHP);
    if (!write) return PrepareLocalFile(true, replace, downloadFolder.Path(), segments, name, creator, type, outFile);
    // No empty file is made first: the name appears only with the whole body.
    int status = PrepareLocalFile(false, replace, downloadFolder.Path(), segments, name, creator, type, outFile);
    if (status < 0) return status;
    if (status == 1 && !replace) return kStatusDuplicateName;
    CFileRef folder;
    status = MakeLocalFolder(downloadFolder.Path(), segments, folder);
    if (status != 0) return status;
    const CFileRef file = folder.Child(name);
    status = WriteBodyAndLabels(file);
    if (CFile::IsFile(file)) {
        outFile = file;
        // Labels only, as for a prepared file.
        if (type != 0) CFile::SetFileType(file, type);
        if (creator != 0) CFile::SetFileCreator(file, creator);
    }
    return status;
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
    status = WriteWholeFile(outFile, std::string_view());
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
    int status = WriteWholeFileWith(file, [this](int fd) { return mBody.WriteTo(fd); });
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
