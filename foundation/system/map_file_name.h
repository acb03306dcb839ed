// A file name's MIME type, file type and creator from the file-name table.
#pragma once

#include "foundation/system/file_name_mappings.h"
#include "foundation/errors/status_codes.h"
#include "foundation/text/fixed_string.h"

// kSysNoMapping, with the outputs unchanged, when the name has no extension
// the table knows; kSysBadParameter for a null name.
[[nodiscard]] SystemStatus MapFileNameToMIMEType(const char* fileName, CFixedString255& mimeType);
[[nodiscard]] SystemStatus MapFileNameToTypeCreator(const char* fileName, TypeCode& type, TypeCode& creator);
