// Binary property lists ("bplist00"), read by a small reader of our own
// rather than libplist's binary parser: location files and other small lists
// that other programs leave behind are untrusted input.
//
// Every offset and length is checked against the input, nesting is limited
// to kPlistMaxDepth, and the number of values made is limited, so a list
// whose objects refer to each other many times over cannot blow up.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/plist/plist_xml.h"

// Inputs longer than this are refused.
inline constexpr std::size_t kBinaryPlistMaxBytes = 16 * 1024 * 1024;

bool IsBinaryPlist(std::string_view bytes);
// Strings, integers, reals, booleans, dates, data, arrays and dictionaries
// (UIDs read as integers). False, with `out` unchanged, for anything else.
bool ParseBinaryPlist(std::string_view bytes, PlistValue& out);
