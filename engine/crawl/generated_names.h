// The parts of the names the crawl gives files whose URL names none that
// works on disk: a dynamic page ("list.php?page=2") gets a fresh UUID
// (foundation/files/unique_name.h) and an extension, so two queries of one
// page never share a file and none collapses onto the folder's index file.
//
// The extension follows what the file is: a style sheet, a script or an
// image keeps the extension of its type whatever the options say (a browser
// refuses a style sheet named ".html"); the configuration's choices
// (extension from the Content-Type, or its own extension, or none) are for
// pages.
#pragma once

#include <string>
#include <string_view>

#include "engine/html/text_hash.h"

// The extension a generated name carries when it is taken from the
// configuration: with its '.', ".html" when the configured one is empty.
std::string ConfiguredExtension(std::string_view extension);

// The MIME type of a Content-Type value: up to the first ';', without
// blanks, lower-cased.
std::string MimeTypeOf(std::string_view contentType);

// The configuration's options for the extension of a page's generated name.
struct CGeneratedExtensionRules {
    bool fromContentType = false;     // setExtensionFromContentType: the Content-Type's, ".html" when unknown
    bool alwaysUseExtension = false;  // else the configured extension
    std::string_view configuredExtension;
};

// The extension of a generated name for a response of `contentType` (empty
// while unknown: the URL's own `urlExtension` then tells whether it is a
// page). `typeExtensions` maps lower-case MIME types to extensions.
std::string GeneratedNameExtension(std::string_view contentType, std::string_view urlExtension,
                                   const CGeneratedExtensionRules& rules, const TextMap<std::string>& typeExtensions);

// Whether `name` is a generated one: a UUID, then nothing or an extension.
[[nodiscard]] bool IsGeneratedName(std::string_view name);

// A generated name with `extension` in place of its own; any other name
// (a type extension's, a distinct one) is returned as it is.
std::string WithGeneratedExtension(std::string_view name, std::string_view extension);

// The name a page is saved under when "always use extension" is on: a page
// (an HTML Content-Type) whose URL file name `urlFileName` does not end in
// ".htm" or ".html" gets the configured extension after its on-disk `name`
// ("page.asp" becomes "page.asp.html"), so a browser opens the saved copy
// as a page. Empty when the name stays: not a page, no file name, or one a
// browser already opens as a page (a query after it changes nothing).
std::string PageNameWithExtension(std::string_view urlFileName, std::string_view name, std::string_view contentType,
                                  std::string_view configuredExtension);
