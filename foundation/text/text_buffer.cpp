// Construction, assignment, growth and appending of CTextBuffer.
//
// The buffer is malloc'd so that growing can realloc in place, and an
// allocation failure leaves the operation undone instead of throwing.
#include "foundation/text/text_buffer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/text/text_encodings.h"

namespace {

std::int32_t UsableStep(std::int32_t step)
{
    return step > 0 ? step : CTextBuffer::kDefaultGrowStep;
}

// An assigned text of n chars gets whole steps of capacity, always more than n.
std::int32_t AssignedCapacity(std::int64_t n, std::int32_t step)
{
    std::int64_t capacity = (n / step + 1) * step;
    return static_cast<std::int32_t>(std::min<std::int64_t>(capacity, CTextBuffer::kMaxLength));
}

char* Allocate(std::int64_t capacity)
{
    return static_cast<char*>(std::malloc(static_cast<std::size_t>(capacity) + 1));
}

bool Overlaps(const char* p, const char* base, std::int64_t size)
{
    auto at = reinterpret_cast<std::uintptr_t>(p);
    auto start = reinterpret_cast<std::uintptr_t>(base);
    return base != nullptr && at >= start && at < start + static_cast<std::uintptr_t>(size);
}

}  // namespace

// Construction and assignment ---------------------------------------------------

CTextBuffer::CTextBuffer() : CTextBuffer(kDefaultGrowStep) {}

CTextBuffer::CTextBuffer(std::int32_t growStep) : mGrowStep(UsableStep(growStep))
{
    SetText({});
}

CTextBuffer::CTextBuffer(const char* text)
{
    SetText(text ? std::string_view(text) : std::string_view());
}

CTextBuffer::CTextBuffer(std::string_view text)
{
    SetText(text);
}

CTextBuffer::CTextBuffer(const CTextBuffer& other)
{
    if (other.mData == nullptr) return;
    mData = Allocate(other.mCapacity);
    if (mData == nullptr) return;
    std::memcpy(mData, other.mData, static_cast<std::size_t>(other.mLength) + 1);
    mLength = other.mLength;
    mCapacity = other.mCapacity;
    mGrowStep = other.mGrowStep;
    mName = other.mName;
}

CTextBuffer::CTextBuffer(CTextBuffer&& other) noexcept
    : mName(other.mName), mData(other.mData), mLength(other.mLength),
      mCapacity(other.mCapacity), mGrowStep(other.mGrowStep)
{
    other.mData = nullptr;
    other.mLength = 0;
    other.mCapacity = 0;
}

CTextBuffer::CTextBuffer(const char* first, const char* last)
{
    if (first == nullptr || last == nullptr || first > last) return;
    SetText(std::string_view(first, static_cast<std::size_t>(last - first) + 1));
}

CTextBuffer::~CTextBuffer()
{
    std::free(mData);
}

CTextBuffer& CTextBuffer::operator=(const CTextBuffer& other)
{
    return Assign(other);
}

CTextBuffer& CTextBuffer::operator=(CTextBuffer&& other) noexcept
{
    if (&other == this) return *this;
    std::free(mData);
    mName = other.mName;
    mData = other.mData;
    mLength = other.mLength;
    mCapacity = other.mCapacity;
    mGrowStep = other.mGrowStep;
    other.mData = nullptr;
    other.mLength = 0;
    other.mCapacity = 0;
    return *this;
}

CTextBuffer& CTextBuffer::Assign(const char* text)
{
    return Assign(text ? std::string_view(text) : std::string_view());
}

CTextBuffer& CTextBuffer::Assign(std::string_view text)
{
    if (SetText(text)) mName.Assign("");
    return *this;
}

CTextBuffer& CTextBuffer::Assign(const CTextBuffer& other)
{
    if (&other == this) return *this;
    if (other.mData == nullptr) {
        Assign("");
        mName = other.mName;
        return *this;
    }
    char* copy = Allocate(other.mCapacity);
    if (copy == nullptr) return *this;
    std::memcpy(copy, other.mData, static_cast<std::size_t>(other.mLength) + 1);
    std::free(mData);
    mData = copy;
    mLength = other.mLength;
    mCapacity = other.mCapacity;
    mGrowStep = other.mGrowStep;
    mName = other.mName;
    return *this;
}

CTextBuffer& CTextBuffer::AssignChar(char c)
{
    return Assign(std::string_view(&c, 1));
}

CTextBuffer& CTextBuffer::AssignNumber(std::int32_t value)
{
    return AssignNumber(static_cast<std::int64_t>(value));
}

CTextBuffer& CTextBuffer::AssignNumber(std::int64_t value)
{
    char digits[32];
    FormatInt64(value, digits, sizeof digits);
    return Assign(digits);
}

bool CTextBuffer::SetText(std::string_view text)
{
    if (text.size() > static_cast<std::size_t>(kMaxLength) - 1) return false;
    const auto n = static_cast<std::int32_t>(text.size());
    const std::int32_t capacity = AssignedCapacity(n, mGrowStep);
    if (mData != nullptr && capacity == mCapacity) {
        if (n > 0) std::memmove(mData, text.data(), static_cast<std::size_t>(n));
    } else {
        char* fresh = Allocate(capacity);
        if (fresh == nullptr) return false;
        if (n > 0) std::memcpy(fresh, text.data(), static_cast<std::size_t>(n));
        std::free(mData);
        mData = fresh;
        mCapacity = capacity;
    }
    mData[n] = '\0';
    mLength = n;
    return true;
}

// Growth ------------------------------------------------------------------------

// Adds whole steps covering the shortfall, and at least the current capacity,
// so that long runs of appends cost linear time.
bool CTextBuffer::Grow(std::int64_t shortfall)
{
    if (mData == nullptr) return false;
    if (shortfall <= 0) return true;
    const std::int64_t steps = (shortfall / mGrowStep + 1) * mGrowStep;
    const std::int64_t capacity =
        std::min<std::int64_t>(mCapacity + std::max<std::int64_t>(steps, mCapacity), kMaxLength);
    if (capacity - mCapacity < shortfall) return false;
    char* grown = static_cast<char*>(std::realloc(mData, static_cast<std::size_t>(capacity) + 1));
    if (grown == nullptr) return false;
    mData = grown;
    mCapacity = static_cast<std::int32_t>(capacity);
    return true;
}

bool CTextBuffer::Reserve(std::int64_t extra)
{
    if (mData == nullptr || extra < 0) return false;
    const std::int64_t room = static_cast<std::int64_t>(mCapacity) - 1 - mLength;
    if (extra <= room) return true;
    if (extra > static_cast<std::int64_t>(kMaxLength) - 1 - mLength) return false;
    return Grow(extra - room);
}

bool CTextBuffer::ReplaceSpan(std::int32_t at, std::int32_t count, std::string_view with)
{
    if (mData == nullptr || at < 0 || count < 0 || at > mLength || count > mLength - at) return false;
    std::string copy;
    if (Overlaps(with.data(), mData, static_cast<std::int64_t>(mCapacity) + 1)) {
        copy.assign(with);
        with = copy;
    }
    const std::int64_t delta = static_cast<std::int64_t>(with.size()) - count;
    if (delta > 0 && !Reserve(delta)) return false;
    const std::size_t tail = static_cast<std::size_t>(mLength - at - count) + 1;  // with the NUL
    std::memmove(mData + at + with.size(), mData + at + count, tail);
    if (!with.empty()) std::memcpy(mData + at, with.data(), with.size());
    mLength = static_cast<std::int32_t>(mLength + delta);
    return true;
}

// Appending and inserting ---------------------------------------------------------

CTextBuffer& CTextBuffer::Append(char c)
{
    if (mData == nullptr) return AssignChar(c);
    if (Reserve(1)) {
        mData[mLength++] = c;
        mData[mLength] = '\0';
    }
    return *this;
}

CTextBuffer& CTextBuffer::Append(const char* text)
{
    if (text == nullptr) return *this;
    return Append(std::string_view(text));
}

CTextBuffer& CTextBuffer::Append(std::string_view text)
{
    if (text.size() > static_cast<std::size_t>(kMaxLength)) return *this;
    return AppendBytes(text.data(), static_cast<std::int32_t>(text.size()));
}

CTextBuffer& CTextBuffer::Append(const CTextBuffer& other)
{
    if (other.mData == nullptr) return *this;
    return AppendBytes(other.mData, other.mLength);
}

CTextBuffer& CTextBuffer::AppendBytes(const void* bytes, std::int32_t count)
{
    if (mData == nullptr || count <= 0 || bytes == nullptr) return *this;
    const char* source = static_cast<const char*>(bytes);
    // Appending a piece of this very text: find it again after a realloc.
    const bool own = Overlaps(source, mData, static_cast<std::int64_t>(mCapacity) + 1);
    const std::ptrdiff_t offset = own ? source - mData : 0;
    if (!Reserve(count)) return *this;
    if (own) source = mData + offset;
    std::memmove(mData + mLength, source, static_cast<std::size_t>(count));
    mLength += count;
    mData[mLength] = '\0';
    return *this;
}

CTextBuffer& CTextBuffer::AppendNumber(std::int32_t value)
{
    return AppendNumber(static_cast<std::int64_t>(value));
}

CTextBuffer& CTextBuffer::AppendNumber(std::int64_t value)
{
    char digits[32];
    FormatInt64(value, digits, sizeof digits);
    return Append(digits);
}

CTextBuffer& CTextBuffer::AppendFormEncoded(const char* text)
{
    if (text == nullptr) return *this;
    return Append(std::string_view(::FormEncode(text)));
}

CTextBuffer& CTextBuffer::Prepend(const char* text)
{
    InsertAt(0, text);
    return *this;
}

bool CTextBuffer::InsertAt(std::int32_t index, const char* text)
{
    return text != nullptr && InsertAt(index, std::string_view(text));
}

bool CTextBuffer::InsertAt(std::int32_t index, std::string_view text)
{
    if (text.empty() || text.size() > static_cast<std::size_t>(kMaxLength)) return false;
    return ReplaceSpan(index, 0, text);
}

// Numbers -----------------------------------------------------------------------------

void CTextBuffer::FormatInt64(std::int64_t value, char* out, std::size_t size)
{
    if (out == nullptr || size == 0) return;
    // The magnitude is taken unsigned so the most negative value has one too.
    std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    char reversed[24];
    std::size_t n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) reversed[n++] = '-';
    const std::size_t count = std::min(n, size - 1);
    for (std::size_t i = 0; i < count; ++i) out[i] = reversed[n - 1 - i];
    out[count] = '\0';
}
