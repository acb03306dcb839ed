// What kind of document a fetched resource is, for its links: a page, whose
// markup holds links and whose links are rewritten for the mirror; a style
// sheet, whose url() references and imports are its links; or anything else
// (scripts, text, data), whose bytes are saved as they came and in which any
// link is only a guess.
#pragma once

#include <string_view>

enum class EPageKind {
    kPage,
    kStyleSheet,
    kOther,
};

// By the Content-Type (text/html, application/xhtml+xml, text/css), or by
// the extension of the file name when the Content-Type is empty or says
// nothing (application/octet-stream). Without a type or a known extension,
// a name without an extension is a page and any other is data.
EPageKind PageKindOf(std::string_view contentType, std::string_view fileName);
