// Line ends for text people read on Linux: every tool there splits lines at
// LF alone, so a lone CR or a CR LF pair becomes one LF.
#pragma once

#include <string>
#include <string_view>

// `text` with each CR LF pair and each lone CR turned into LF. Text that
// arrives in pieces keeps one line end per line: `afterReturn` tells
// whether the previous piece ended with a CR, so that an LF opening this
// piece is its pair and is dropped; it is updated for the next piece.
std::string WithLineFeeds(std::string_view text, bool& afterReturn);
// The same, appended to `out`.
void AppendWithLineFeeds(std::string& out, std::string_view text, bool& afterReturn);
