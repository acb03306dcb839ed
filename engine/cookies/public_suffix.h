// Public suffixes: the names under which unrelated sites register their own
// ("com", "co.uk", "github.io"). A cookie may not name one as its domain, or
// one site could set cookies for all its neighbours.
#pragma once

#include <libpsl.h>

#include <string_view>

// The system's list when it is newer than the one built into the library;
// null when neither exists. Made once and kept for the life of the program.
const psl_ctx_t* PublicSuffixList();

// True when `domain` (lower case, no leading '.') is a public suffix. Names
// under a top-level name the list does not know count as suffixes too, the
// list's own default rule.
[[nodiscard]] bool IsPublicSuffix(std::string_view domain);
