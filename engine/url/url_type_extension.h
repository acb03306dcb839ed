// The file-name extension that a Content-Type calls for, for URLs whose file
// name has none (CURL::GetURLWithTypeExtension).
#pragma once

#include <string>
#include <string_view>

// The extension (with its dot) of the first file-name mapping whose MIME
// type is not empty and begins `contentType`, ignoring case; ".html" when
// none does.
std::string ExtensionForContentType(std::string_view contentType);
