// ASCII character classes, case folding and the case-blind search of a page.
//
// Everything folds ASCII letters only and never consults the locale, which
// the windows set: bytes of UTF-8 characters compare as they are. The string
// helpers built on these are in foundation/text/ascii.h.
#pragma once

#include <cstddef>
#include <string_view>

[[nodiscard]] inline bool IsAsciiAlpha(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
[[nodiscard]] inline bool IsAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }
[[nodiscard]] inline bool IsAsciiAlnum(unsigned char c) { return IsAsciiAlpha(c) || IsAsciiDigit(c); }
[[nodiscard]] inline bool IsAsciiHexDigit(unsigned char c) { return IsAsciiDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f'); }
[[nodiscard]] inline bool IsAsciiSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
[[nodiscard]] inline bool IsAsciiPunct(unsigned char c) { return c > 0x20 && c < 0x7F && !IsAsciiAlnum(c); }
[[nodiscard]] inline bool IsAsciiPrint(unsigned char c) { return c >= 0x20 && c < 0x7F; }
inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Case-blind search: offset of the first occurrence of `needle` in
// `haystack` at or after `from`, or npos; an empty needle is never found.
// The view form sees NULs as ordinary chars; the C-string form stops at them.
[[nodiscard]] std::size_t FindTextNoCase(std::string_view haystack, std::string_view needle, std::size_t from = 0);
const char* FindTextNoCase(const char* haystack, const char* needle);
// 0 when the first n chars agree ignoring ASCII case (stopping at a NUL both
// share); otherwise the difference of the raw chars where they first differ.
[[nodiscard]] int CompareTextNoCase(const char* a, const char* b, std::size_t n);
