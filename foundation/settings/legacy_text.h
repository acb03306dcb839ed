// Preference texts written by the program's earlier, MacRoman-based releases:
// text that is not valid UTF-8 is read as MacRoman, so old values still load.
#pragma once

#include <string>
#include <string_view>

// The text itself when it is valid UTF-8, else its bytes read as MacRoman.
std::string LegacyTextToUtf8(std::string_view text);
