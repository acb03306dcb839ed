// The cookie file: an XML property list whose root array holds one array per
// cookie (name, value, domain, path, expires text, 1904-based expiry as a
// 64-bit integer; CCookie::CopyAsArray).
#pragma once

#include <optional>

#include "foundation/errors/status.h"
#include "foundation/files/file_ref.h"
#include "platform/plist/plist_value.h"
#include "platform/plist/plist_xml.h"

// Replaces the file with the list's XML in one step (temporary file and
// rename), readable by the owner only. kPlistMalformed (nothing written)
// when the list cannot be made XML, or an errno code.
CStatus WritePropertyListFile(const PlistValue& plist, const CFileRef& file);

// The file's property list; nothing when it is missing, unreadable or not an
// XML property list.
[[nodiscard]] std::optional<PlistValue> ReadPropertyListFile(const CFileRef& file);
// The same, telling why not: an errno code (-ENOENT for a missing file) or
// kCookieFileMalformed.
CStatus ReadPropertyListFile(const CFileRef& file, PlistValue& plist);
inline constexpr int kCookieFileMalformed = kPlistMalformed;
