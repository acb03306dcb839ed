// Replacing and deleting in a CTextBuffer: ranges, first and every
// occurrence of a pattern, char-level clean-ups and the URL encodings.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "foundation/text/text_buffer.h"
#include "foundation/text/text_encodings.h"

CTextBuffer* CTextBuffer::Substring(std::int32_t first, std::int32_t last) const
{
    if (mData == nullptr) return nullptr;
    first = std::max(first, 0);
    last = std::min(last, mLength - 1);
    if (first > last) return new (std::nothrow) CTextBuffer("");
    return new (std::nothrow) CTextBuffer(std::string_view(mData + first, static_cast<std::size_t>(last - first) + 1));
}

void CTextBuffer::DeleteRange(std::int32_t first, std::int32_t last)
{
    if (mData == nullptr) return;
    first = std::max(first, 0);
    last = std::min(last, mLength - 1);
    if (first > last) return;
    ReplaceSpan(first, last - first + 1, {});
}

// The start is clamped once, so the text goes where the deleted chars began.
void CTextBuffer::ReplaceRange(std::int32_t first, std::int32_t last, const char* text)
{
    if (mData == nullptr || text == nullptr) return;
    first = std::max(first, 0);
    last = std::min(last, mLength - 1);
    if (first > mLength) return;
    const std::int32_t count = first > last ? 0 : last - first + 1;
    ReplaceSpan(first, count, text);
}

bool CTextBuffer::ReplaceFirst(std::int32_t from, const char* pattern, const char* replacement)
{
    if (pattern == nullptr || *pattern == '\0' || replacement == nullptr) return false;
    const std::string_view target(pattern);
    const std::int32_t at = FindFrom(target, std::max(from, 0), false);
    return at >= 0 && ReplaceSpan(at, static_cast<std::int32_t>(target.size()), replacement);
}

bool CTextBuffer::ReplaceFirstNoCase(std::int32_t from, const char* pattern, const char* replacement)
{
    if (pattern == nullptr || *pattern == '\0' || replacement == nullptr) return false;
    const std::string_view target(pattern);
    const std::int32_t at = FindFrom(target, std::max(from, 0), true);
    return at >= 0 && ReplaceSpan(at, static_cast<std::int32_t>(target.size()), replacement);
}

bool CTextBuffer::ReplaceFirstNoCase(const CTextBuffer& pattern, const CTextBuffer& replacement)
{
    if (!pattern.HasBuffer() || !replacement.HasBuffer()) return false;
    return ReplaceFirstNoCase(0, pattern.c_str(), replacement.c_str());
}

std::int32_t CTextBuffer::ReplaceAll(const char* pattern, const char* replacement)
{
    return ReplaceEvery(pattern, replacement, false);
}

std::int32_t CTextBuffer::ReplaceAllNoCase(const char* pattern, const char* replacement)
{
    return ReplaceEvery(pattern, replacement, true);
}

namespace {

// Offset of the next occurrence of `pattern` in `text` at or after `from`.
std::size_t NextHit(std::string_view text, std::string_view pattern, std::size_t from, bool ignoreCase)
{
    if (ignoreCase) return FindTextNoCase(text, pattern, from);
    if (from > text.size()) return std::string_view::npos;
    const void* hit = ::memmem(text.data() + from, text.size() - from, pattern.data(), pattern.size());
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : std::string_view::npos;
}

bool PointsInto(const char* p, const char* base, std::size_t size)
{
    auto at = reinterpret_cast<std::uintptr_t>(p);
    auto start = reinterpret_cast<std::uintptr_t>(base);
    return at >= start && at < start + size;
}

}  // namespace

// One pass, in place: the search resumes right after each occurrence, so
// inserted text is never searched again, and every char moves once. A
// replacement that is longer first moves the text to the end of the room it
// needs, so that writing the result from the start never overtakes reading.
std::int32_t CTextBuffer::ReplaceEvery(const char* pattern, const char* replacement, bool ignoreCase)
{
    if (mData == nullptr || pattern == nullptr || *pattern == '\0' || replacement == nullptr) return 0;
    std::string_view target(pattern);
    std::string_view with(replacement);
    std::string targetCopy, withCopy;
    const auto buffer = static_cast<std::size_t>(mCapacity) + 1;
    if (PointsInto(target.data(), mData, buffer)) target = targetCopy.assign(target);
    if (PointsInto(with.data(), mData, buffer)) with = withCopy.assign(with);

    // The search sees the text up to its first NUL; the rest is kept as is.
    const void* nul = std::memchr(mData, '\0', static_cast<std::size_t>(mLength));
    const std::size_t visible = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - mData)
                                    : static_cast<std::size_t>(mLength);
    const auto length = static_cast<std::size_t>(mLength);

    std::size_t gap = 0;  // where the text to read starts
    if (with.size() > target.size()) {
        std::int64_t hits = 0;
        const std::string_view text(mData, visible);
        for (std::size_t at = NextHit(text, target, 0, ignoreCase); at != std::string_view::npos;
             at = NextHit(text, target, at + target.size(), ignoreCase))
            ++hits;
        if (hits == 0 || hits > kMaxLength) return 0;
        if (!Reserve(hits * static_cast<std::int64_t>(with.size() - target.size()))) return 0;
        gap = static_cast<std::size_t>(mCapacity) - 1 - length;
        std::memmove(mData + gap, mData, length + 1);
    }

    const std::string_view text(mData + gap, visible);
    std::size_t read = 0;   // in `text`
    std::size_t write = 0;  // in mData
    std::int32_t count = 0;
    for (std::size_t at = NextHit(text, target, 0, ignoreCase); at != std::string_view::npos;
         at = NextHit(text, target, read, ignoreCase)) {
        if (write != gap + read) std::memmove(mData + write, text.data() + read, at - read);
        write += at - read;
        std::memcpy(mData + write, with.data(), with.size());
        write += with.size();
        read = at + target.size();
        ++count;
    }
    if (count == 0) return 0;
    std::memmove(mData + write, text.data() + read, length - read + 1);  // with the NUL
    mLength = static_cast<std::int32_t>(write + length - read);
    return count;
}

void CTextBuffer::ReplaceChar(char from, char to)
{
    if (mData == nullptr) return;
    std::replace(mData, mData + mLength, from, to);
}

void CTextBuffer::RemoveChars(const char* set)
{
    if (mData == nullptr || set == nullptr || *set == '\0') return;
    bool removed[256] = {};
    for (const char* c = set; *c; ++c) removed[static_cast<unsigned char>(*c)] = true;
    char* end = std::remove_if(mData, mData + mLength,
                               [&](char c) { return removed[static_cast<unsigned char>(c)]; });
    mLength = static_cast<std::int32_t>(end - mData);
    mData[mLength] = '\0';
}

void CTextBuffer::CollapseSpaces()
{
    if (mData == nullptr) return;
    char* end = std::unique(mData, mData + mLength, [](char a, char b) { return a == ' ' && b == ' '; });
    mLength = static_cast<std::int32_t>(end - mData);
    mData[mLength] = '\0';
}

// Bytes of 0x80 and above belong to UTF-8 characters and stay.
void CTextBuffer::BlankNonPrintables()
{
    if (mData == nullptr) return;
    for (char* p = mData; p != mData + mLength; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c < 0x80 && !IsAsciiPrint(c)) *p = ' ';
    }
}

void CTextBuffer::BlankNULs()
{
    if (mData == nullptr) return;
    std::replace(mData, mData + mLength, '\0', ' ');
}

void CTextBuffer::MakeLowercase()
{
    if (mData == nullptr) return;
    std::transform(mData, mData + mLength, mData, AsciiLower);
}

// Encodings -------------------------------------------------------------------------------

void CTextBuffer::URLDecode()
{
    if (mData == nullptr) return;
    SetText(::URLDecode(View()));
}

void CTextBuffer::PercentEncodeUnsafe()
{
    if (mData == nullptr) return;
    SetText(::PercentEncodeUnsafe(View()));
}

void CTextBuffer::FormEncode()
{
    if (mData == nullptr) return;
    SetText(::FormEncode(View()));
}
