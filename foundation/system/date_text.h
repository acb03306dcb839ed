// Dates for people to read: local time, in the words and order of the
// current LC_TIME locale (the windows set it), with seconds.
#pragma once

#include <cstdint>

#include "foundation/text/fixed_string.h"

// Abbreviated date, ", ", time with seconds: "Mon 7 Dec 2026, 09:05:03".
// `seconds` counts from 1970-01-01 UTC.
void FormatDateTime(std::int64_t seconds, CFixedString255& text);

// Long date of now, ", ", time with seconds: "Monday 7 December 2026, 09:05:03".
void FormatCurrentDateTime(CFixedString255& text);
