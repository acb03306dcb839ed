// Searching a CTextBuffer: exact and case-blind substrings, prefixes and
// suffixes, whole words and the known-extension test.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

#include "foundation/text/text_buffer.h"
#include "foundation/text/text_encodings.h"

namespace {

bool NoKnownExtension(const char*)
{
    return false;
}

std::atomic<KnownExtensionTest> gKnownExtensionTest{&NoKnownExtension};

bool IsDelimiter(const char* delimiters, char c)
{
    return c != '\0' && std::strchr(delimiters, c) != nullptr;
}

}  // namespace

void SetKnownExtensionTest(KnownExtensionTest test)
{
    gKnownExtensionTest.store(test ? test : &NoKnownExtension);
}

std::int32_t CTextBuffer::FindFrom(std::string_view pattern, std::int32_t from, bool ignoreCase) const
{
    if (mData == nullptr || from > mLength) return -1;
    const auto start = static_cast<std::size_t>(std::max(from, 0));
    const std::size_t size = static_cast<std::size_t>(mLength);
    std::size_t at;
    if (ignoreCase) {
        at = ::FindTextNoCase(std::string_view(mData, size), pattern, start);
        if (at == std::string_view::npos) return -1;
    } else {
        const void* hit = ::memmem(mData + start, size - start, pattern.data(), pattern.size());
        if (hit == nullptr) return -1;
        at = static_cast<std::size_t>(static_cast<const char*>(hit) - mData);
    }
    // A C-string search would have stopped at a NUL before the occurrence.
    if (std::memchr(mData + start, '\0', at - start) != nullptr) return -1;
    return static_cast<std::int32_t>(at);
}

std::int32_t CTextBuffer::Find(const char* pattern, std::int32_t from) const
{
    if (pattern == nullptr) return -1;
    return FindFrom(pattern, from, false);
}

std::int32_t CTextBuffer::FindNoCase(const char* pattern, std::int32_t from) const
{
    if (pattern == nullptr) return -1;
    return FindFrom(pattern, from, true);
}

bool CTextBuffer::BeginsWithNoCase(const char* text) const
{
    if (mData == nullptr || text == nullptr) return false;
    const std::size_t n = std::strlen(text);
    return n <= static_cast<std::size_t>(mLength) && CompareTextNoCase(mData, text, n) == 0;
}

bool CTextBuffer::EndsWithNoCase(const char* text) const
{
    if (mData == nullptr || text == nullptr) return false;
    const std::size_t n = std::strlen(text);
    return n <= static_cast<std::size_t>(mLength) && CompareTextNoCase(mData + mLength - n, text, n) == 0;
}

std::int32_t CTextBuffer::FindWholeWord(const char* delimiters, const char* word) const
{
    return FindWord(delimiters, word, false);
}

std::int32_t CTextBuffer::FindWholeWordNoCase(const char* delimiters, const char* word) const
{
    return FindWord(delimiters, word, true);
}

// After a rejected occurrence the search resumes one char after its start.
std::int32_t CTextBuffer::FindWord(const char* delimiters, const char* word, bool ignoreCase) const
{
    if (word == nullptr || *word == '\0') return -1;
    const std::string_view pattern(word);
    const auto length = static_cast<std::int32_t>(pattern.size());
    for (std::int32_t at = FindFrom(pattern, 0, ignoreCase); at >= 0; at = FindFrom(pattern, at + 1, ignoreCase))
        if (IsWholeWordAt(delimiters, at, length)) return at;
    return -1;
}

// An occurrence at the start only needs a non-alphanumeric char after it;
// elsewhere it must sit between delimiters (or end the text).
bool CTextBuffer::IsWholeWordAt(const char* delimiters, std::int32_t index, std::int32_t length) const
{
    if (mData == nullptr || index < 0 || length < 0 || length > mLength - index) return false;
    if (delimiters == nullptr) delimiters = "";
    for (std::int32_t i = index; i < index + length; ++i)
        if (IsDelimiter(delimiters, mData[i])) return false;
    const std::int32_t after = index + length;
    if (index == 0) return !IsAsciiAlnum(static_cast<unsigned char>(mData[after]));
    if (!IsDelimiter(delimiters, mData[index - 1])) return false;
    return after == mLength || IsDelimiter(delimiters, mData[after]);
}

bool CTextBuffer::HasKnownExtension()
{
    if (mData == nullptr) return false;
    MakeLowercase();
    std::string dotted = ".";
    dotted.append(c_str());
    return gKnownExtensionTest.load()(dotted.c_str());
}

bool CTextBuffer::IsAllURLChars() const
{
    return mData != nullptr && ::IsAllURLChars(View());
}
