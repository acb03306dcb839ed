// Whether bytes are well-formed UTF-8.
#pragma once

#include <string_view>

// True for well-formed UTF-8: no stray continuation bytes, cut-off
// characters, overlong forms, surrogates or code points past U+10FFFF.
[[nodiscard]] bool IsValidUtf8(std::string_view text);
