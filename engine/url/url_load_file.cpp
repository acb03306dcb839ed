// A saved copy standing in for a response ("Load URLs from disk").
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "engine/url/url_record.h"
#include "foundation/files/file.h"
#include "platform/posix/plain_file.h"
#include "platform/posix/unique_fd.h"
#include "foundation/system/file_name_mappings.h"
#include "foundation/system/http_dates.h"

std::uint8_t CURL::LoadFromFile(const CFileRef& file)
{
    mFetchedOK = 0;
    mStatusCode = 200;
    // Only a plain file of the mirror stands in: a pipe would wait for a
    // writer, a device may never end, a link may lead out of the mirror.
    CUniqueFd fd;
    if (OpenPlainFile(file.c_str(), O_RDONLY | O_NOFOLLOW, 0, fd) != 0) return 0;
    // Read a piece at a time: a large file spills, never whole in memory.
    mBody.Clear();
    char piece[65536];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), piece, sizeof piece);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 || !mBody.AppendBytes(piece, static_cast<std::size_t>(got))) {
            mBody.Clear();
            return 0;
        }
        if (got == 0) break;
    }
    std::int64_t seconds = 0;
    if (CFile::GetModificationSeconds(file, seconds).Failed()) return 0;

    mModificationSeconds = seconds;
    CFixedString255 date;
    FormatHTTPDate(seconds, date);
    mLastModified = date.c_str();
    mDate = date.c_str();
    const FileNameMapping* mapping = FindFileNameMappingForName(file.Name());
    mContentType = mapping ? mapping->mimeType : "";

    mContentLength = std::to_string(mBody.Length());
    mFetchedOK = 1;
    mHasData = 1;
    return mFetchedOK;
}
