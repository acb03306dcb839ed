// What kind of document a fetched resource is, for its links: a page, whose
// markup holds links and whose links are rewritten for the mirror; a style
// sheet, whose url() references and imports are its links; a script or a
// data document a page loads (JavaScript, JSON, XML), saved as it came, in
// which any link is only a guess; or anything else (text, pictures, other
// data), saved as it came, which links nothing.
#pragma once

#include <string_view>

enum class EPageKind {
    kPage,
    kStyleSheet,
    kScript,
    kOther,
};

// By the Content-Type (text/html, application/xhtml+xml, text/css, the
// JavaScript, JSON and XML types), or by the extension of the file name
// when the Content-Type is empty or says nothing (application/octet-stream).
// Without a type or a known extension, a name without an extension is a
// page and any other is data.
EPageKind PageKindOf(std::string_view contentType, std::string_view fileName);
