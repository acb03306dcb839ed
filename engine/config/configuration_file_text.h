// From a configuration file's bytes to the text its settings are read from.
#pragma once

#include <string>
#include <string_view>

// True when the bytes are UTF-8 once their end marks (A5 0D between two
// characters) are set aside: the text this program writes. Files written by
// the original, MacRoman-based program are not, as soon as they hold a
// character outside ASCII.
[[nodiscard]] bool IsUtf8ConfigurationText(std::string_view bytes);

// NULs become blanks; a MacRoman file has every value converted to UTF-8
// (the end marks stay); then each return that directly follows a character
// ending in byte A5 is protected (engine/filters/setting_values.h) so that
// it is not taken for an end mark.
void PrepareConfigurationText(std::string& bytes);
