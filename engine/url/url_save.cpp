// Storing a fetched resource in a file that exists, and the name of its
// file in a mirror. The crawl saves into its mirror through its own writer
// (engine/crawl/mirror_writer.h), under the names given here.
#include <cerrno>
#include <utility>

#include "engine/url/uri_reference.h"
#include "engine/url/url_record.h"
#include "foundation/files/file.h"
#include "foundation/files/whole_file.h"
#include "foundation/text/text_encodings.h"

std::string CURL::MirrorFileName(const std::string& indexName, bool indexForDynamic, bool remapAllPHP) const
{
    if (IsDynamic() && indexForDynamic) return indexName;
    if (HasPHPExtension() && remapAllPHP && indexForDynamic) return indexName;
    if (mFileWithQuery.empty()) return indexName;
    return URLDecode(mFileWithQuery);
}

CStatus CURL::SaveBodyToFile(const CFileRef& file) const
{
    if (!file.IsValid()) return CStatus::FromCode(-EINVAL);
    if (!CFile::IsFile(file)) return CStatus::FromCode(-ENOENT);
    return WriteBodyAndLabels(file);
}

CStatus CURL::WriteBodyAndLabels(const CFileRef& file) const
{
    if (CStatus status = WriteWholeFileWith(file, [this](int fd) { return mBody.WriteTo(fd); }); status.Failed())
        return status;
    return WriteSavedFileLabels(file);
}

// The record's date, and its URL as the comment the update reads back and as
// the origin that file managers show (without credentials). Every label is tried; the first
// failure is returned.
CStatus CURL::WriteSavedFileLabels(const CFileRef& file) const
{
    CStatus first;
    auto keep = [&first](CStatus status) {
        if (first.Ok()) first = std::move(status);
    };
    if (mModificationSeconds > 0) keep(CFile::SetDates(file, mModificationSeconds, mModificationSeconds));
    keep(CFile::SetFinderComment(file, mURL.c_str()));
    keep(CFile::SetOriginURL(file, WithoutUserInfo(mURL).c_str()));
    return first;
}
