// What every on-disk name of the mirror must be, wherever it came from: one
// level below its folder, never the folder itself or its parent.
#pragma once

#include <string_view>

#include "foundation/mirror/mirror_names.h"
#include "fuzz/fuzz_check.h"

inline void CheckMirrorName(std::string_view name)
{
    FUZZ_CHECK(name != "." && name != "..");
    FUZZ_CHECK(name.find('/') == std::string_view::npos);
    FUZZ_CHECK(name.find('\0') == std::string_view::npos);
    FUZZ_CHECK(name.size() <= kMirrorNameByteLimit);
}
