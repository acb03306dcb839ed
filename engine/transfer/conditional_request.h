// The conditional GET of the crawl's date check.
#pragma once

#include <cstdint>
#include <string>

// "If-Modified-Since: <HTTP date>" on one line, without a line end, for
// Unix seconds; empty when `seconds` is not positive (an unconditional GET).
std::string IfModifiedSinceLine(std::int64_t seconds);
