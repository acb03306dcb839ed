// ASCII text helpers: case-blind compares, trimming and splitting.
//
// Everything folds ASCII letters only and never consults the locale, which
// the windows set: bytes of UTF-8 characters compare as they are.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/text/ascii_chars.h"

inline std::string AsciiLowercased(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = AsciiLower(c);
    return out;
}

inline std::string AsciiUppercased(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = AsciiUpper(c);
    return out;
}

[[nodiscard]] inline bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}
[[nodiscard]] inline bool BeginsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}
[[nodiscard]] inline bool EndsWithNoCase(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

// True when `needle` occurs in `text`; an empty needle occurs everywhere.
[[nodiscard]] inline bool ContainsNoCase(std::string_view text, std::string_view needle)
{
    return needle.empty() || FindTextNoCase(text, needle) != std::string_view::npos;
}

// `text` without leading and trailing blanks (spaces and tabs).
inline std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}
// `text` without leading and trailing ASCII white space (blanks and line breaks).
inline std::string_view TrimAsciiSpace(std::string_view text)
{
    while (!text.empty() && IsAsciiSpace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && IsAsciiSpace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// The pieces between separators, empty ones included ("a;;b" gives three).
inline std::vector<std::string_view> SplitAt(std::string_view text, char separator)
{
    std::vector<std::string_view> pieces;
    for (std::size_t at = 0;;) {
        const std::size_t end = text.find(separator, at);
        pieces.push_back(text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        if (end == std::string_view::npos) return pieces;
        at = end + 1;
    }
}
