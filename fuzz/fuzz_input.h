// Splitting one fuzz input into the several texts a parser takes.
#pragma once

#include <string_view>
#include <vector>

// The pieces of `text` between newlines; the last piece takes the rest, so
// at most `count` pieces come back.
inline std::vector<std::string_view> SplitFuzzInput(std::string_view text, std::size_t count)
{
    std::vector<std::string_view> pieces;
    while (pieces.size() + 1 < count) {
        std::size_t end = text.find('\n');
        if (end == std::string_view::npos) break;
        pieces.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    pieces.push_back(text);
    pieces.resize(count);
    return pieces;
}
