// Names for files that must not take the place of an existing one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr std::size_t kFileNameByteLimit = 255;

// A new random UUID in canonical upper-case text (8-4-4-4-12 hex digits).
std::string NewUUIDText();

// `name` made unique: the stem (the text before the last '.'), " - ", a new
// UUID, then '.' and the extension when the name had one. The result never
// passes kFileNameByteLimit bytes: the stem is shortened (on a UTF-8
// character boundary) to keep the UUID and the extension, and only an
// extension too long to keep any stem is shortened itself.
std::string MakeUniqueFileName(std::string_view name);

// The longest prefix of `text` of at most `limit` bytes that does not cut a
// UTF-8 character in two.
std::string_view Utf8PrefixOf(std::string_view text, std::size_t limit);
