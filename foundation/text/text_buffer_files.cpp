// Reading and writing a CTextBuffer as a whole file.
//
// Failures are reported as negative errno values: only ENOENT means "missing". A
// written file holds exactly the text, never a tail of a longer old content;
// WriteFileAtPath replaces a file whole or not at all. WriteFile writes in
// place, so the file keeps its identity and extended attributes.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "foundation/text/text_buffer.h"
#include "platform/posix/atomic_file.h"
#include "platform/posix/errno_status.h"
#include "platform/posix/plain_file.h"
#include "platform/posix/unique_fd.h"
#include "platform/posix/write_all.h"


// The capacity follows the assignment rule for the file's size; a file that
// reports no size (/proc) grows as it is read. Only a plain file is read: a
// pipe would wait for a writer, a device may never end.
bool CTextBuffer::ReadFile(const std::string& path)
{
    CUniqueFd file;
    struct stat info {};
    if (OpenPlainFile(path.c_str(), O_RDONLY, 0, file) != 0 || ::fstat(file.Get(), &info) != 0 ||
        info.st_size > kMaxLength - 1) {
        SetText({});
        return false;
    }
    const std::int64_t capacity =
        std::min<std::int64_t>((info.st_size / mGrowStep + 1) * static_cast<std::int64_t>(mGrowStep), kMaxLength);
    char* fresh = static_cast<char*>(std::malloc(static_cast<std::size_t>(capacity) + 1));
    if (fresh == nullptr) {
        SetText({});
        return false;
    }
    std::free(mData);
    mData = fresh;
    mCapacity = static_cast<std::int32_t>(capacity);
    mLength = 0;
    mData[0] = '\0';

    char overflow[4096];
    while (true) {
        const std::int32_t room = mCapacity - 1 - mLength;
        char* into = room > 0 ? mData + mLength : overflow;
        const std::size_t size = room > 0 ? static_cast<std::size_t>(room) : sizeof overflow;
        const ssize_t got = ::read(file.Get(), into, size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) break;
        if (got == 0) {
            BlankNULs();
            return true;
        }
        if (into == overflow) {
            const std::int32_t before = mLength;
            AppendBytes(overflow, static_cast<std::int32_t>(got));
            if (mLength == before) break;
        } else {
            mLength += static_cast<std::int32_t>(got);
            mData[mLength] = '\0';
        }
    }
    SetText({});
    return false;
}

CStatus CTextBuffer::WriteFile(const std::string& path) const
{
    CUniqueFd file(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
    if (!file.IsOpen()) return CStatus::FromCode(ErrnoStatus());
    if (int status = WriteAll(file.Get(), c_str(), static_cast<std::size_t>(mLength))) return CStatus::FromCode(status);
    // Cut an old, longer content after the new text.
    while (::ftruncate(file.Get(), mLength) != 0)
        if (errno != EINTR) return CStatus::FromCode(ErrnoStatus());
    return CStatus::FromCode(::close(file.Release()) == 0 ? 0 : ErrnoStatus());
}

CStatus CTextBuffer::WriteFileAtPath(const char* path) const
{
    if (path == nullptr || *path == '\0') return CStatus::FromCode(-EINVAL);
    AtomicWriteOptions options;
    options.syncFile = false;
    return CStatus::FromCode(WriteFileAtomically(path, View(), options));
}
