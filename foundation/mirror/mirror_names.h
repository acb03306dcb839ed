// The on-disk name of one URL component in the mirror.
//
// A name never leaves its folder: after percent-decoding, "/", NUL and the
// other control characters (below 0x20, and 0x7F) stay escaped as %XX, a
// whole name "." or ".." becomes %2E or %2E%2E, bytes that do not form valid
// UTF-8 stay escaped as %XX (upper-case hex). Valid UTF-8 text is kept as it
// is, so links and files agree.
//
// A name longer than the file system's 255 bytes is cut, without splitting a
// character or an escape, and ends with "~", a digest of the whole name and
// the name's extension: two names that share their first 255 bytes keep
// distinct files, and the cut file keeps its type.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr std::size_t kMirrorNameByteLimit = 255;

// For a folder level as the URL writes it: decodes every %XX, then applies
// the rules above. Empty for an empty segment.
std::string MirrorNameFromSegment(std::string_view segment);

// For a name that is already percent-decoded (the file names the URL record
// hands over): only the rules above. A safe name is returned unchanged.
std::string SafeMirrorName(std::string_view decodedName);

// Another name for a file whose own name `safeName` is taken by a different
// URL: "~", a digest of `ownerKey` (the URL's owner key, and `attempt`
// when above 1) put before the extension ("Index.html" ->
// "Index~3f9c0a1b22de.html"), still within 255 bytes. The same owner and
// attempt always give the same name, so a later crawl finds the file again.
std::string DistinctMirrorName(std::string_view safeName, std::string_view ownerKey, unsigned attempt = 1);

