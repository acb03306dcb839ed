// Cutting the parts the URL record keeps from the text after a URL's
// authority: the dynamic part after '$', the query after '?' and the
// fragment after '#', each found from the right with the two other markers
// cut off first. The record's parse and the quick checks on a link's text
// (is it dynamic, what is its file name) cut alike through these.
#pragma once

#include <cstring>
#include <string_view>

// The text before the last `marker`; all of it when there is none.
inline std::string_view CutAtLast(std::string_view text, char marker)
{
    // memrchr scans a word at a time, where rfind goes byte by byte.
    const void* at = text.empty() ? nullptr : ::memrchr(text.data(), marker, text.size());
    return at == nullptr ? text : text.substr(0, static_cast<const char*>(at) - text.data());
}

// The text after the last `marker` once the two other markers are cut off
// (each from the right); empty when the marker is absent.
inline std::string_view PartAfter(std::string_view text, char marker, char cutFirst, char cutSecond)
{
    const std::string_view cut = CutAtLast(CutAtLast(text, cutFirst), cutSecond);
    const std::string_view before = CutAtLast(cut, marker);
    return before.size() == cut.size() ? std::string_view() : cut.substr(before.size() + 1);
}
