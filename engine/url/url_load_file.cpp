// A saved copy standing in for a response ("Load URLs from disk").
#include <string>

#include "engine/url/url_record.h"
#include "foundation/files/file.h"
#include "foundation/files/whole_file.h"
#include "foundation/system/file_name_mappings.h"
#include "foundation/system/http_dates.h"

std::uint8_t CURL::LoadFromFile(const CFileRef& file)
{
    mFetchedOK = 0;
    mStatusCode = 200;
    std::string bytes;
    if (ReadWholeFile(file, bytes) != 0) return 0;
    std::int64_t seconds = 0;
    if (CFile::GetModificationSeconds(file, seconds) != 0) return 0;

    mModificationSeconds = seconds;
    CFixedString255 date;
    FormatHTTPDate(seconds, date);
    mLastModified = date.c_str();
    mDate = date.c_str();
    const FileNameMapping* mapping = FindFileNameMappingForName(file.Name());
    mContentType = mapping ? mapping->mimeType : "";

    mBody.Clear();
    if (!mBody.AppendBytes(bytes.data(), bytes.size())) return 0;
    mContentLength = std::to_string(bytes.size());
    mFetchedOK = 1;
    mHasData = 1;
    return mFetchedOK;
}
