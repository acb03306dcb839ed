// Case-blind search and compare, folding ASCII letters only.
//
// Every case-blind search of a page goes through FindTextNoCase, so it scans
// for one char of the needle (a '=' or another non-letter when it has one,
// found with memchr; else the first letter, eight bytes at a time) and
// compares the whole needle only where that char occurs. Link markers such as
// "href=" would otherwise stop at every 'h' of the page's text.
#include <cstring>

#include "foundation/text/text_encodings.h"

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighs = 0x8080808080808080ull;

// Nonzero when some byte of `word` is zero; the lowest flagged byte is the
// first zero byte.
inline std::uint64_t ZeroBytes(std::uint64_t word)
{
    return (word - kOnes) & ~word & kHighs;
}

// Offset of the first byte at or after `from` that equals `target`, or equals
// it once ORed with `fold` (0x20 folds an ASCII letter's case, 0 matches
// exactly); `size` when there is none.
std::size_t ScanFirstChar(const unsigned char* text, std::size_t from, std::size_t size,
                          unsigned char target, unsigned char fold)
{
    if (fold == 0) {
        const void* hit = std::memchr(text + from, target, size - from);
        return hit ? static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - text) : size;
    }
    const std::uint64_t pattern = kOnes * target;
    const std::uint64_t folding = kOnes * fold;
    std::size_t i = from;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text + i, 8);
        if (ZeroBytes((word | folding) ^ pattern) != 0) break;
    }
    for (; i < size; ++i)
        if ((text[i] | fold) == target) return i;
    return size;
}

inline bool SameIgnoringCase(const unsigned char* a, const unsigned char* b, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        if (a[i] != b[i] && AsciiLower(static_cast<char>(a[i])) != AsciiLower(static_cast<char>(b[i]))) return false;
    return true;
}

// The needle's char to scan for: the first '=', else the first non-letter
// (memchr finds either fast, and both are rarer than letters in a page), else
// the first char.
std::size_t AnchorOf(std::string_view needle)
{
    const std::size_t equals = needle.find('=');
    if (equals != std::string_view::npos) return equals;
    for (std::size_t i = 0; i < needle.size(); ++i)
        if (!IsAsciiAlpha(needle[i])) return i;
    return 0;
}

}  // namespace

std::size_t FindTextNoCase(std::string_view haystack, std::string_view needle, std::size_t from)
{
    if (needle.empty() || from > haystack.size() || haystack.size() - from < needle.size())
        return std::string_view::npos;
    const auto* text = reinterpret_cast<const unsigned char*>(haystack.data());
    const auto* pattern = reinterpret_cast<const unsigned char*>(needle.data());
    const std::size_t lastStart = haystack.size() - needle.size();

    const std::size_t anchor = AnchorOf(needle);
    const unsigned char key = pattern[anchor];
    const unsigned char fold = IsAsciiAlpha(static_cast<char>(key)) ? 0x20 : 0;
    const unsigned char target = static_cast<unsigned char>(key | fold);

    // Candidates past lastStart cannot hold the whole needle, so the scan
    // stops there; `at` is a candidate start, its anchor char at `at + anchor`.
    std::size_t at = from;
    while (at <= lastStart) {
        at = ScanFirstChar(text, at + anchor, lastStart + anchor + 1, target, fold) - anchor;
        if (at > lastStart) break;
        if (SameIgnoringCase(text + at, pattern, needle.size())) return at;
        ++at;
    }
    return std::string_view::npos;
}

const char* FindTextNoCase(const char* haystack, const char* needle)
{
    if (haystack == nullptr || needle == nullptr) return nullptr;
    std::size_t at = FindTextNoCase(std::string_view(haystack), std::string_view(needle));
    return at == std::string_view::npos ? nullptr : haystack + at;
}

int CompareTextNoCase(const char* a, const char* b, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        unsigned char cb = static_cast<unsigned char>(b[i]);
        if (ca != cb && AsciiLower(static_cast<char>(ca)) != AsciiLower(static_cast<char>(cb))) return ca - cb;
        if (ca == '\0') return 0;
    }
    return 0;
}
