// CByteBuffer: bytes in memory, made empty or from a whole file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "foundation/files/file_ref.h"

class CByteBuffer {
public:
    CByteBuffer() = default;
    // The whole file (ReadDataFork); ReadStatus tells an unreadable file
    // (negative) apart from an empty one (0).
    explicit CByteBuffer(const CFileRef& file);

    [[nodiscard]] int ReadStatus() const { return mReadStatus; }
    // False when memory runs out; the buffer is then unchanged.
    [[nodiscard]] bool AppendBytes(const void* bytes, std::size_t length);

    const std::uint8_t* Data() const { return mBytes.data(); }
    [[nodiscard]] std::size_t Length() const { return mBytes.size(); }
    [[nodiscard]] bool IsEmpty() const { return mBytes.empty(); }
    std::string_view View() const { return {reinterpret_cast<const char*>(mBytes.data()), mBytes.size()}; }

    // A new array holding the bytes; false when the buffer is empty or
    // memory runs out (`out` is then null).
    [[nodiscard]] bool CopyToPtr(std::unique_ptr<std::uint8_t[]>& out, std::size_t& length) const;
    // A new array holding the bytes (none for an empty buffer); null only
    // when memory runs out.
    std::unique_ptr<std::uint8_t[]> NewPtrFromData() const;

private:
    std::vector<std::uint8_t> mBytes;
    int mReadStatus = 0;
};
