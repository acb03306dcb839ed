// Links found around the dots of a text: "x/y.gif" in a script, a style or
// plain text, wherever no attribute names it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class CPageContext;

// Whether the text after a '.' (the dot itself not included) can end a link:
// an empty text, a file extension the program knows (any case), or one to
// four letters and digits with at least one letter.
[[nodiscard]] bool IsPlausibleExtension(std::string_view extension);

// For every '.' at the third char of `text` or later: the chars before it
// back to a stop char (LF, CR, '"', '\'', '(', ')', '<', '>'; the text's
// first char is never taken) and the chars after it up to the next stop
// char must both be non-empty URL chars, and the part after it a plausible
// extension; a '.' with no stop char after it gives nothing. A link (other
// than a "mailto:" one) is listed only when that part is an extension of
// the program's file-name mappings (any case): a guess names a known type. The link is
// both parts joined by the '.', a view into `text`. Links starting with '#' or "mailto:" are
// not listed; with `harvestEmail` each "mailto:" link's address goes to the
// context's e-mail table with its anchor text.
//
// One pass: the stop chars and non-URL chars before a dot are tracked as the
// scan goes and the forward search never moves back, so the work stays
// linear in the text whatever it holds. Yields through `context` (may be
// null) at every 50th dot.
//
// A guess is a request nobody linked, and a GET to a script may change
// the server's state (log the user out): a name of a server-side script
// (".php", ".cgi", ".asp", ".jsp", ".pl" and the like) is never listed.
// With `inMarkupOnly` (the text is a page) only what markup or a script or
// style element holds is read: nothing of the visible text, of a comment,
// or of the start tag of a form sent with POST.
void CollectDottedLinks(std::string_view text, std::vector<std::string_view>& out, CPageContext* context,
                        bool harvestEmail, bool inMarkupOnly = false);
