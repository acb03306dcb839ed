// XML property lists in and out of our value tree, on libplist.
//
// Input is untrusted (cookie files, lists fetched from a web server, files
// other programs left behind): anything that is not a well-formed XML
// property list is refused with a status, never a crash. File results are 0
// or a negative errno value; -ENOENT alone means "missing".
#pragma once

#include <sys/types.h>

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>

#include "platform/plist/plist_value.h"

// Arrays and dictionaries nested deeper than this are refused on both read
// and write, which keeps every walk of a tree shallow enough for a fiber's
// stack.
inline constexpr int kPlistMaxDepth = 256;

// The status of bytes that are not an XML property list.
inline constexpr int kPlistMalformed = -EBADMSG;

// Parses an XML property list (any kind of value at its root). False, with
// `out` unchanged, for malformed XML, binary property lists, NUL bytes,
// nesting deeper than kPlistMaxDepth and inputs of 4 GB or more.
bool ParsePlist(std::string_view bytes, PlistValue& out);
std::optional<PlistValue> ParsePlist(std::string_view bytes);

// The value as XML property-list text. Nothing when it cannot be written: a
// text or key holding a NUL byte, a date outside the years 1933 to 2069, or
// nesting deeper than kPlistMaxDepth.
std::optional<std::string> PlistToXml(const PlistValue& value);

// Reads and parses a whole file: 0, -ENOENT, another negative errno for a
// read error, or kPlistMalformed.
int ReadPlistFile(const std::string& path, PlistValue& out);

// Writes the value as XML, replacing the file atomically (atomic_file.h);
// `mode` is the permission of the new file. kPlistMalformed when the value
// cannot be written as XML (nothing is written then).
int WritePlistFile(const std::string& path, const PlistValue& value, mode_t mode);
