// Edits of a page's head before its links are read: the server's content
// type stamped into a meta tag, and the base element that relative links
// resolve against.
#pragma once

#include <string>
#include <string_view>

class CPageContext;

// The inner text of the page's head: after the "<head>" tag (also with
// attributes, "<head lang=en>") up to the next "</head>", ignoring case.
struct CHeadRange {
    std::size_t innerStart = 0;
    std::size_t innerEnd = 0;
};
[[nodiscard]] bool FindHead(std::string_view text, CHeadRange& head);

// Puts <meta http-equiv="Content-Type" content="TYPE"> into the head: in
// place of the first such tag (from its start through the next "\">"), or
// after the head's text, between two CRs. Quotes, '<', '>' and '&' of the
// type are written as entities. False, with the text unchanged, for an
// empty type or a page without a head.
[[nodiscard]] bool InsertContentTypeMeta(std::string& text, std::string_view contentType);

// The page's base element: the first "<base href=" in its head (ignoring
// case), its address (quoted with either quote or unquoted) resolved
// against the page's URL.
struct CBaseHref {
    std::size_t elementStart = 0;  // the '<' of "<base"
    std::size_t valueStart = 0;    // the address as written: [valueStart, valueEnd)
    std::size_t valueEnd = 0;
    std::string url;               // absolute
};
// False when the head holds no base element with a fetchable address.
[[nodiscard]] bool FindBaseHref(std::string_view text, std::string_view pageURL, CBaseHref& base);

// Rewrites the page for its base element: the address is cut out of the
// element (the attribute stays, empty), the element becomes "<bc ", which
// disables it, and every link of the markup (IsMarkupLink) that is not
// absolute (a scheme followed by ':') is replaced by its resolution against
// the base, its fragment kept, in one pass. Places in the page ("#top") and other schemes are kept. Yields and
// shows "Replacing base relinked URLs (n of m)" through `context` (may be
// null), and stops when it asks. True when the text changed.
[[nodiscard]] bool ApplyBaseHref(std::string& text, const CBaseHref& base, CPageContext* context);

// The text between "<TITLE>" and "</TITLE>" (ignoring case), or empty.
std::string ExtractTitle(std::string_view text);
