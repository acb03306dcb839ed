// The MIME type of a local file, from its extension or its type and creator.
//
// The mapping tables belong to the settings; these functions take the
// look-up as an argument so the mirror does not depend on them.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "foundation/errors/status.h"
#include "foundation/files/file_ref.h"
#include "foundation/text/fixed_string.h"

// Looks a dotted extension (".html") up exactly, byte for byte; true with
// the MIME type when found.
using MimeTypeForExtension = std::function<bool(const char* dottedExtension, CFixedString255& mimeType)>;

// One row of the file-name mappings, as far as a type-and-creator look-up
// needs it.
struct CTypeCreatorMapping {
    std::uint32_t fileType = 0;
    std::uint32_t fileCreator = 0;
    std::string_view mimeType;
};

// True with `mimeType` set when the file's extension ('.' and the text after
// the name's last '.') is found; false, `mimeType` unchanged, for a name
// without an extension or one the look-up does not know.
[[nodiscard]] bool GetMIMETypeForFile(const CFileRef& file, CFixedString255& mimeType, const MimeTypeForExtension& lookup);

// The file's type and creator codes (0 for a missing one). Success when both
// were read, else the first failure (-ENODATA for a missing label).
CStatus GetFileTypeAndCreator(const CFileRef& file, std::uint32_t& type, std::uint32_t& creator);

// Walks `mappings` in order: each row with the file's type and a MIME type
// copies it to `mimeType`, and a row whose creator matches too ends the walk
// with true. Otherwise false, `mimeType` holding the last row that matched
// on the type alone (unchanged when none did, or when the file has no type).
[[nodiscard]] bool GetMIMETypeForTypeCreator(const CFileRef& file, CFixedString255& mimeType,
                               std::span<const CTypeCreatorMapping> mappings);
