// The file-name mappings as the URL record uses them: the extension that a
// Content-Type calls for, for URLs whose file name has none
// (CURL::GetURLWithTypeExtension), and the file type and creator of a URL's
// own extension.
#pragma once

#include <string>
#include <string_view>

struct FileNameMapping;

// The extension (with its dot) of the first file-name mapping whose MIME
// type is not empty and begins `contentType`, ignoring case; ".html" when
// none does.
std::string ExtensionForContentType(std::string_view contentType);

// The mapping whose extension is exactly `extension` (with its dot; letter
// case counts, so ".HTML" has none), or null.
const FileNameMapping* FileTypeMappingForExtension(std::string_view extension);
