#include "foundation/files/dynamic_buffer.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "foundation/files/whole_file.h"
#include "platform/posix/write_all.h"

namespace {

// Pieces in which a spilled body is copied or written out.
constexpr std::size_t kPieceSize = 1u << 20;

std::string TemporaryParent()
{
    const char* folder = std::getenv("TMPDIR");
    return folder && folder[0] == '/' ? folder : "/tmp";
}

// A read-write file without a name in the temporary folder, or -1.
int OpenNamelessFile()
{
    const std::string parent = TemporaryParent();
    int fd = ::open(parent.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    // File systems without O_TMPFILE: a name for a moment only.
    std::string name = parent + "/tidewell-body-XXXXXX";
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    ::unlink(name.c_str());
    return fd;
}

bool WriteAt(int fd, const char* bytes, std::size_t count, off_t offset)
{
    while (count > 0) {
        ssize_t wrote = ::pwrite(fd, bytes, count, offset);
        if (wrote < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += wrote;
        count -= static_cast<std::size_t>(wrote);
        offset += wrote;
    }
    return true;
}

bool ReadAt(int fd, char* into, std::size_t count, off_t offset)
{
    std::size_t done = 0;
    while (done < count) {
        ssize_t got = ::pread(fd, into + done, count - done, offset + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace

CLDynamicBuffer::CLDynamicBuffer(const CLDynamicBuffer& other) : mSpillSize(other.mSpillSize)
{
    *this = other;
}

// A spilled body is copied file to file, a piece at a time.
CLDynamicBuffer& CLDynamicBuffer::operator=(const CLDynamicBuffer& other)
{
    if (this == &other) return *this;
    Clear();
    mSpillSize = other.mSpillSize;
    if (!other.mSpillFd.IsOpen()) {
        (void)AppendBytes(other.mMemory.data(), other.mMemory.size());
        return *this;
    }
    std::string piece;
    for (std::size_t at = 0; at < other.mLength; at += kPieceSize) {
        const std::size_t count = std::min(kPieceSize, other.mLength - at);
        try {
            piece.resize(count);
        } catch (const std::bad_alloc&) {
            Clear();
            return *this;
        }
        if (!ReadAt(other.mSpillFd.Get(), piece.data(), count, static_cast<off_t>(at)) ||
            !AppendBytes(piece.data(), count)) {
            Clear();
            return *this;
        }
    }
    return *this;
}

CLDynamicBuffer::CLDynamicBuffer(CLDynamicBuffer&& other) noexcept { *this = std::move(other); }

CLDynamicBuffer& CLDynamicBuffer::operator=(CLDynamicBuffer&& other) noexcept
{
    if (this == &other) return *this;
    mSpillSize = other.mSpillSize;
    mLength = std::exchange(other.mLength, 0);
    mMemory = std::move(other.mMemory);
    other.mMemory.clear();
    mSpillFd = std::move(other.mSpillFd);
    return *this;
}

CLDynamicBuffer::~CLDynamicBuffer() = default;

bool CLDynamicBuffer::AppendBytes(const void* bytes, std::size_t length)
{
    if (length == 0) return true;
    if (bytes == nullptr) return false;
    if (!mSpillFd.IsOpen() && mLength + length > mSpillSize) Spill();
    if (mSpillFd.IsOpen()) {
        if (!WriteAt(mSpillFd.Get(), static_cast<const char*>(bytes), length, static_cast<off_t>(mLength))) {
            // All or nothing: drop whatever part did reach the file.
            if (::ftruncate(mSpillFd.Get(), static_cast<off_t>(mLength)) != 0) { /* the length says what counts */ }
            return false;
        }
        mLength += length;
        return true;
    }
    try {
        mMemory.append(static_cast<const char*>(bytes), length);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    mLength += length;
    return true;
}

bool CLDynamicBuffer::ReplaceBytes(const void* bytes, std::size_t length)
{
    CLDynamicBuffer replacement(mSpillSize);
    if (!replacement.AppendBytes(bytes, length)) return false;
    *this = std::move(replacement);
    return true;
}

void CLDynamicBuffer::Clear()
{
    mSpillFd.Reset();
    mMemory.clear();
    mMemory.shrink_to_fit();
    mLength = 0;
}

bool CLDynamicBuffer::Spill()
{
    CUniqueFd fd(OpenNamelessFile());
    if (!fd.IsOpen()) return false;
    if (!WriteAt(fd.Get(), mMemory.data(), mMemory.size(), 0)) return false;
    mSpillFd = std::move(fd);
    mMemory.clear();
    mMemory.shrink_to_fit();
    return true;
}

bool CLDynamicBuffer::ReadSpilled(char* into, std::size_t count) const
{
    return ReadAt(mSpillFd.Get(), into, count, 0);
}

bool CLDynamicBuffer::CopyTo(std::string& out) const { return CopyPrefix(out, mLength); }

bool CLDynamicBuffer::CopyPrefix(std::string& out, std::size_t count) const
{
    out.clear();
    count = std::min(count, mLength);
    try {
        if (!mSpillFd.IsOpen()) {
            out.assign(mMemory, 0, count);
            return true;
        }
        out.resize(count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (ReadSpilled(out.data(), count)) return true;
    out.clear();
    return false;
}

int CLDynamicBuffer::WriteTo(int fd) const
{
    if (!mSpillFd.IsOpen()) return WriteAll(fd, mMemory.data(), mMemory.size());
    std::unique_ptr<char[]> piece(new (std::nothrow) char[kPieceSize]);
    if (!piece) return -ENOMEM;
    for (std::size_t at = 0; at < mLength; at += kPieceSize) {
        const std::size_t count = std::min(kPieceSize, mLength - at);
        if (!ReadAt(mSpillFd.Get(), piece.get(), count, static_cast<off_t>(at))) return -EIO;
        if (int status = WriteAll(fd, piece.get(), count); status != 0) return status;
    }
    return 0;
}

bool CLDynamicBuffer::CopyToPtr(std::unique_ptr<std::uint8_t[]>& out, std::size_t& length) const
{
    out.reset();
    length = 0;
    if (mLength == 0) return false;
    std::unique_ptr<std::uint8_t[]> copy(new (std::nothrow) std::uint8_t[mLength]);
    if (!copy) return false;
    if (mSpillFd.IsOpen()) {
        if (!ReadSpilled(reinterpret_cast<char*>(copy.get()), mLength)) return false;
    } else {
        std::memcpy(copy.get(), mMemory.data(), mLength);
    }
    out = std::move(copy);
    length = mLength;
    return true;
}

int CLDynamicBuffer::GetSpillFileRef(CFileRef& spillFile) const
{
    if (!mSpillFd.IsOpen()) return 0;
    spillFile = CFileRef("/proc/self/fd/" + std::to_string(mSpillFd.Get()));
    return 1;
}
