// The file-name mappings: which MIME type, file type and creator go with a
// file-name extension. The table is compiled into the program, so crawl
// decisions (extensions from content types, MIME types of saved files) never
// vary with the host's own MIME database.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// A four-character code ('TEXT') as the big-endian 32-bit number that a
// file's type or creator is stored as.
using TypeCode = std::uint32_t;

constexpr TypeCode MakeTypeCode(const char (&code)[5])
{
    return (static_cast<TypeCode>(static_cast<unsigned char>(code[0])) << 24) |
           (static_cast<TypeCode>(static_cast<unsigned char>(code[1])) << 16) |
           (static_cast<TypeCode>(static_cast<unsigned char>(code[2])) << 8) |
           static_cast<TypeCode>(static_cast<unsigned char>(code[3]));
}

// The creator of every entry: Linux opens files by MIME type, and no
// application claims a file by a creator code.
constexpr TypeCode kAnyApplicationCreator = MakeTypeCode("????");

// Bits of FileNameMapping::flags.
enum : std::uint32_t {
    kMappingBinary = 1u << 0,  // the data is not text: never re-encoded or rewritten as text
};

// One entry of the table. Plain data with static texts, cheap to copy; a
// default-constructed entry (empty texts, zero codes) stands for "no mapping".
struct FileNameMapping {
    const char* extension = "";  // with its leading dot, lowercase: ".html"
    const char* mimeType = "";   // "text/html"
    TypeCode type = 0;           // file type code, 'TEXT'
    TypeCode creator = 0;        // creator code
    const char* entryName = "";  // what the entry describes: "HTML text"
    std::uint32_t flags = 0;     // kMapping... bits

    [[nodiscard]] bool IsEmpty() const { return extension[0] == '\0'; }
};

// Every entry in the table's fixed order. Where several extensions share a
// MIME type, the preferred extension comes first (".html" before ".htm"), so
// a walk that stops at the first entry for a MIME type picks it.
std::span<const FileNameMapping> FileNameMappings();

// The entry for an extension given with its leading dot (".HTML" finds
// ".html"), compared without regard to ASCII case; null when there is none
// or the text does not start with a dot.
const FileNameMapping* FindFileNameMapping(std::string_view extension);

// The entry for the extension of a file name (from its last dot on, "a.b.gif"
// gives ".gif"); null when the name has no extension or it is unknown.
const FileNameMapping* FindFileNameMappingForName(std::string_view fileName);
