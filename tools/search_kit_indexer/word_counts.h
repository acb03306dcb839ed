// Counting the words of a text: words end at Unicode word boundaries and are
// kept in their case; runs of blanks, punctuation and symbols are no words.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/plist/plist_value.h"

// Each distinct word of the UTF-8 text with its count, in the order first met.
std::vector<std::pair<std::string, long>> CountWords(std::string_view text);

// The word list as the search reads it: a dictionary of word -> count.
PlistValue WordListOf(const std::vector<std::pair<std::string, long>>& counts);
