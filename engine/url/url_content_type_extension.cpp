#include "engine/url/url_type_extension.h"

#include <cstring>

#include "foundation/system/file_name_mappings.h"
#include "foundation/text/text_encodings.h"

std::string ExtensionForContentType(std::string_view contentType)
{
    for (const FileNameMapping& mapping : FileNameMappings()) {
        std::size_t length = std::strlen(mapping.mimeType);
        if (length == 0 || length > contentType.size()) continue;
        if (CompareTextNoCase(contentType.data(), mapping.mimeType, length) == 0) return mapping.extension;
    }
    return ".html";
}

const FileNameMapping* FileTypeMappingForExtension(std::string_view extension)
{
    const FileNameMapping* mapping = extension.empty() ? nullptr : FindFileNameMapping(extension);
    return mapping != nullptr && extension == mapping->extension ? mapping : nullptr;
}
