// CLDynamicBuffer: a growable byte buffer that keeps its bytes in memory and
// moves them to a file of its own once they pass a size (a response body).
//
// The spill file is nameless from the start (O_TMPFILE in $TMPDIR or /tmp,
// mode 0600), or, where the file system cannot make one, unlinked right after
// mkstemp made it: a killed process leaves nothing behind. When no spill file
// can be made the bytes stay in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "foundation/files/file_ref.h"
#include "platform/posix/unique_fd.h"

class CLDynamicBuffer {
public:
    static constexpr std::size_t kDefaultSpillSize = 4u << 20;

    CLDynamicBuffer() = default;
    explicit CLDynamicBuffer(std::size_t spillSize) : mSpillSize(spillSize) {}
    CLDynamicBuffer(const CLDynamicBuffer& other);
    CLDynamicBuffer& operator=(const CLDynamicBuffer& other);
    CLDynamicBuffer(CLDynamicBuffer&& other) noexcept;
    CLDynamicBuffer& operator=(CLDynamicBuffer&& other) noexcept;
    virtual ~CLDynamicBuffer();

    // Appends all the bytes or none: false when memory runs out or the spill
    // file cannot take them.
    [[nodiscard]] bool AppendBytes(const void* bytes, std::size_t length);
    [[nodiscard]] std::size_t Length() const { return mLength; }
    [[nodiscard]] bool IsEmpty() const { return mLength == 0; }
    // All the bytes in place of the buffer's, or, when they cannot be taken,
    // false with the old bytes kept.
    [[nodiscard]] bool ReplaceBytes(const void* bytes, std::size_t length);
    // Empties the buffer and removes its spill file.
    void Clear();

    // Every byte, in `out`; false when memory runs out or the spill file
    // cannot be read (`out` is then empty).
    [[nodiscard]] bool CopyTo(std::string& out) const;
    // A new array of the bytes; false when the buffer is empty, memory runs
    // out or the spill file cannot be read.
    [[nodiscard]] bool CopyToPtr(std::unique_ptr<std::uint8_t[]>& out, std::size_t& length) const;

    // At most `count` bytes from the start, in `out` (the head of a large
    // body, without reading all of it); false when the spill file cannot be
    // read or memory runs out.
    [[nodiscard]] bool CopyPrefix(std::string& out, std::size_t count) const;
    // Writes every byte to `fd` at its current offset, a piece at a time, so
    // a spilled body never comes into memory whole. 0 or a negative errno
    // value.
    [[nodiscard]] int WriteTo(int fd) const;

    // 1 with the spill file's reference when the bytes are in a file, else 0.
    // The file has no name of its own: the reference is the process's handle
    // on it (/proc/self/fd/N), valid while the buffer keeps its bytes.
    [[nodiscard]] virtual int GetSpillFileRef(CFileRef& spillFile) const;

private:
    bool Spill();
    [[nodiscard]] bool ReadSpilled(char* into, std::size_t count) const;

    std::size_t mSpillSize = kDefaultSpillSize;
    std::size_t mLength = 0;
    std::string mMemory;
    CUniqueFd mSpillFd;
};
