// Reading and writing a CTextBuffer as a whole file.
//
// Failures are reported as errno values: only ENOENT means "missing". A
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

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : mFd(fd) {}
    ~FileDescriptor() { if (mFd >= 0) ::close(mFd); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return mFd; }
    // Closes now, so that a failing close is reported.
    int Close()
    {
        int fd = mFd;
        mFd = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int mFd;
};

int WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

// A name for a temporary file in the same folder as `path`, so that renaming
// it over `path` is atomic. It does not derive from the final name, which
// may already be as long as the file system allows.
std::string TemporaryPathBeside(const std::string& path)
{
    static std::atomic<unsigned> counter{0};
    std::string::size_type slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    return folder + ".tidewell-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
}

}  // namespace

// The capacity follows the assignment rule for the file's size; a file that
// reports no size (a pipe, /proc) grows as it is read.
bool CTextBuffer::ReadFile(const std::string& path)
{
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0 || info.st_size > kMaxLength - 1) {
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

int CTextBuffer::WriteFile(const std::string& path) const
{
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
    if (file.Get() < 0) return errno;
    if (int error = WriteAll(file.Get(), c_str(), static_cast<std::size_t>(mLength))) return error;
    // Cut an old, longer content after the new text.
    while (::ftruncate(file.Get(), mLength) != 0)
        if (errno != EINTR) return errno;
    return file.Close();
}

int CTextBuffer::WriteFileAtPath(const char* path) const
{
    if (path == nullptr || *path == '\0') return EINVAL;
    const std::string target(path);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = TemporaryPathBeside(target);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return errno;
    }
    if (fd < 0) return EEXIST;
    FileDescriptor file(fd);
    int error = WriteAll(fd, c_str(), static_cast<std::size_t>(mLength));
    if (error == 0) error = file.Close();
    if (error == 0 && std::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) ::unlink(temporary.c_str());
    return error;
}
