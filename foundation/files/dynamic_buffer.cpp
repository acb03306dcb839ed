#include "foundation/files/dynamic_buffer.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <new>
#include <utility>

namespace {

std::string TemporaryParent()
{
    const char* folder = std::getenv("TMPDIR");
    return folder && folder[0] == '/' ? folder : "/tmp";
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

}  // namespace

CLDynamicBuffer::CLDynamicBuffer(const CLDynamicBuffer& other) : mSpillSize(other.mSpillSize)
{
    *this = other;
}

CLDynamicBuffer& CLDynamicBuffer::operator=(const CLDynamicBuffer& other)
{
    if (this == &other) return *this;
    Clear();
    mSpillSize = other.mSpillSize;
    std::string bytes;
    if (other.CopyTo(bytes)) AppendBytes(bytes.data(), bytes.size());
    return *this;
}

CLDynamicBuffer::CLDynamicBuffer(CLDynamicBuffer&& other) noexcept { *this = std::move(other); }

CLDynamicBuffer& CLDynamicBuffer::operator=(CLDynamicBuffer&& other) noexcept
{
    if (this == &other) return *this;
    RemoveSpillFile();
    mSpillSize = other.mSpillSize;
    mLength = std::exchange(other.mLength, 0);
    mMemory = std::move(other.mMemory);
    other.mMemory.clear();
    mSpillFd = std::move(other.mSpillFd);
    mSpillFolder = std::move(other.mSpillFolder);
    mSpillPath = std::move(other.mSpillPath);
    other.mSpillFolder.clear();
    other.mSpillPath.clear();
    return *this;
}

CLDynamicBuffer::~CLDynamicBuffer() { RemoveSpillFile(); }

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

void CLDynamicBuffer::Clear()
{
    RemoveSpillFile();
    mMemory.clear();
    mMemory.shrink_to_fit();
    mLength = 0;
}

bool CLDynamicBuffer::Spill()
{
    std::string folderTemplate = TemporaryParent() + "/tidewell-XXXXXX";
    if (::mkdtemp(folderTemplate.data()) == nullptr) return false;
    std::string fileTemplate = folderTemplate + "/body-XXXXXX";
    int fd = ::mkostemp(fileTemplate.data(), O_CLOEXEC);
    if (fd < 0) {
        ::rmdir(folderTemplate.c_str());
        return false;
    }
    mSpillFd.Reset(fd);
    mSpillFolder = std::move(folderTemplate);
    mSpillPath = std::move(fileTemplate);
    if (!WriteAt(fd, mMemory.data(), mMemory.size(), 0)) {
        RemoveSpillFile();
        return false;
    }
    mMemory.clear();
    mMemory.shrink_to_fit();
    return true;
}

bool CLDynamicBuffer::ReadSpilled(char* into) const
{
    std::size_t done = 0;
    while (done < mLength) {
        ssize_t got = ::pread(mSpillFd.Get(), into + done, mLength - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

bool CLDynamicBuffer::CopyTo(std::string& out) const
{
    out.clear();
    if (!mSpillFd.IsOpen()) {
        try {
            out = mMemory;
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }
    try {
        out.resize(mLength);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (ReadSpilled(out.data())) return true;
    out.clear();
    return false;
}

bool CLDynamicBuffer::CopyToPtr(std::unique_ptr<std::uint8_t[]>& out, std::size_t& length) const
{
    out.reset();
    length = 0;
    if (mLength == 0) return false;
    std::unique_ptr<std::uint8_t[]> copy(new (std::nothrow) std::uint8_t[mLength]);
    if (!copy) return false;
    if (mSpillFd.IsOpen()) {
        if (!ReadSpilled(reinterpret_cast<char*>(copy.get()))) return false;
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
    spillFile = CFileRef(mSpillPath);
    return 1;
}

void CLDynamicBuffer::RemoveSpillFile()
{
    if (!mSpillFd.IsOpen() && mSpillPath.empty()) return;
    mSpillFd.Reset();
    if (!mSpillPath.empty()) ::unlink(mSpillPath.c_str());
    if (!mSpillFolder.empty()) ::rmdir(mSpillFolder.c_str());
    mSpillPath.clear();
    mSpillFolder.clear();
}
