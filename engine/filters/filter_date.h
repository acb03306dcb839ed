// The after and before dates of a filter set, as the user typed them.
#pragma once

#include <cstdint>

// Reads a typed date into seconds since 1970 (UTC). Accepted: the HTTP and
// cookie date forms ("31 Dec 2005 10:00:00", "Sat, 31 Dec 2005 10:00:00 GMT"),
// the same without a time (midnight), and "2005-12-31" with an optional
// "10:00" or "10:00:00" after a blank or 'T'. False, with `seconds`
// unchanged, when the text is none of these.
[[nodiscard]] bool ParseFilterDate(const char* text, std::int64_t& seconds);
