#include "foundation/files/byte_buffer.h"

#include <cstring>
#include <new>

#include "foundation/files/whole_file.h"

CByteBuffer::CByteBuffer(const CFileRef& file) { mReadStatus = ReadDataFork(file, mBytes).Code(); }

bool CByteBuffer::AppendBytes(const void* bytes, std::size_t length)
{
    if (length == 0) return true;
    if (bytes == nullptr) return false;
    const auto* at = static_cast<const std::uint8_t*>(bytes);
    try {
        mBytes.insert(mBytes.end(), at, at + length);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

bool CByteBuffer::CopyToPtr(std::unique_ptr<std::uint8_t[]>& out, std::size_t& length) const
{
    out.reset();
    length = 0;
    if (mBytes.empty()) return false;
    out = NewPtrFromData();
    if (!out) return false;
    length = mBytes.size();
    return true;
}

std::unique_ptr<std::uint8_t[]> CByteBuffer::NewPtrFromData() const
{
    std::unique_ptr<std::uint8_t[]> copy(new (std::nothrow) std::uint8_t[mBytes.size()]);
    if (copy && !mBytes.empty()) std::memcpy(copy.get(), mBytes.data(), mBytes.size());
    return copy;
}
