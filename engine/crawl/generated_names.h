// The parts of the names the crawl gives files whose URL names none that
// works on disk: a dynamic page ("list.php?page=2") gets a fresh UUID
// (foundation/files/unique_name.h) and an extension, so two queries of one
// page never share a file and none collapses onto the folder's index file.
#pragma once

#include <string>
#include <string_view>

// The extension a generated name carries when it is taken from the
// configuration: with its '.', ".html" when the configured one is empty.
std::string ConfiguredExtension(std::string_view extension);

// The MIME type of a Content-Type value: up to the first ';', without
// blanks, lower-cased.
std::string MimeTypeOf(std::string_view contentType);
