// The on-disk name of one URL component in the mirror.
//
// A name never leaves its folder: after percent-decoding, "/" and NUL stay
// escaped as %2F and %00, a whole name "." or ".." becomes %2E or %2E%2E,
// bytes that do not form valid UTF-8 stay escaped as %XX (upper-case hex),
// and the result is cut to 255 bytes without splitting a character or an
// escape. Valid UTF-8 text is kept as it is, so links and files agree.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr std::size_t kMirrorNameByteLimit = 255;

// For a folder level as the URL writes it: decodes every %XX, then applies
// the rules above. Empty for an empty segment.
std::string MirrorNameFromSegment(std::string_view segment);

// For a name that is already percent-decoded (the file names the URL record
// hands over): only the rules above.
std::string SafeMirrorName(std::string_view decodedName);
