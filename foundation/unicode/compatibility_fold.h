// Compatibility folding (Unicode NFKC): the forms a reader takes for the same
// letters become the same bytes, so a ligature such as U+FB01 reads "fi",
// full-width letters read as plain ones and a composed accent equals the
// letter followed by its combining mark. Word lists and search terms are
// both folded, so either spelling finds the other.
#pragma once

#include <string>
#include <string_view>

// The folded text of UTF-8 `utf8`; the text as it is when ICU cannot fold it.
std::string FoldCompatibility(std::string_view utf8);
