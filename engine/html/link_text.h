// A link as the page processing records it, and what the crawl needs to
// know about one.
//
// Extraction and rewriting both go through NormalizeLinkText, so the link
// text the extractor records (CLinkRecord::mLink) is exactly the key under
// which the rewriter later finds the same link in the page's own bytes.
#pragma once

#include <string>
#include <string_view>

class CURLResolver;

// Non-printable ASCII chars become blanks, runs of blanks one blank, blanks
// at both ends go, and the unsafe bytes (blanks, controls, bytes >= 0x7F)
// are written as '%' and two lower-case hex digits. The result is `raw`
// itself when nothing changes, else it lives in `scratch`.
std::string_view NormalizeLinkText(std::string_view raw, std::string& scratch);

enum class ELinkKind {
    kEmpty,
    kFragment,   // "#top": a place in the page itself
    kMailto,     // "mailto:": harvested, never fetched
    kNotFetched, // any other scheme than http, https or ftp (javascript:, data:, tel:, file:)
    kWeb,        // relative, or http, https or ftp
};
ELinkKind ClassifyLink(std::string_view normalizedLink);

// The absolute URL a normalized link names on the page at `pageURL`: HTML
// character entities ("&amp;") decoded, then resolved as ResolveRelativeURL
// does (no fragment). True when the result can be fetched.
[[nodiscard]] bool ResolvePageLink(std::string_view normalizedLink, std::string_view pageURL, std::string& absoluteURL);
[[nodiscard]] bool ResolvePageLink(std::string_view normalizedLink, const CURLResolver& page, std::string& absoluteURL);

// The facts of an absolute URL as the URL record parses it: a query or a
// '$' part makes it dynamic.
[[nodiscard]] bool URLIsDynamic(std::string_view url);
// Its last path segment, without query, '$' part and fragment ("" for none).
std::string_view URLFileName(std::string_view url);

// The address of a "mailto:" link: the text after "mailto:" up to any '?'
// (the headers of the mail, such as a subject, are not part of it).
std::string_view MailtoAddress(std::string_view link);
