#include "engine/html/style_links.h"

#include "foundation/text/ascii.h"

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// "url(" ending at `end` is the style function, not the end of a longer
// name ("URL.createObjectURL(blob)" in a script or in prose).
bool IsUrlFunctionAt(std::string_view text, std::size_t end)
{
    if (!EndsWithNoCase(text.substr(0, end), "url(")) return false;
    if (end == 4) return true;
    const char before = text[end - 5];
    return !IsAsciiAlnum(static_cast<unsigned char>(before)) && before != '_' && before != '-' && before != '.' &&
           before != '$';
}

// The first `stop` char at or after `at`, or the end of the text.
std::size_t ScanTo(std::string_view text, std::size_t at, std::string_view stop)
{
    const std::size_t found = text.find_first_of(stop, at);
    return found == kNone ? text.size() : found;
}

// The reference that starts at `at` (just after "url(" or "@import"); its
// end in `next`. Empty when there is none. The scan stops where the
// reference must end, at the latest: an unquoted one cannot hold a blank,
// quote, '(' or angle bracket, and a quoted one no line break or angle
// bracket. So a reference that never ends is read up to the next "url("
// (whose '(' stops it) or line, never to the end of the text.
std::string_view ReferenceAt(std::string_view text, std::size_t at, bool quotedOnly, std::size_t& next)
{
    while (at < text.size() && IsAsciiSpace(text[at])) ++at;
    next = at + 1;
    if (at >= text.size()) return {};
    const char first = text[at];
    if (first == '"' || first == '\'') {
        const std::size_t close = ScanTo(text, at + 1, first == '"' ? "\"\n\r<>" : "'\n\r<>");
        if (close == text.size() || text[close] != first) return {};
        next = close + 1;
        return text.substr(at + 1, close - at - 1);
    }
    if (quotedOnly) return {};
    std::size_t close = ScanTo(text, at, ") \t\n\v\f\r\"'(<>");
    std::string_view link = text.substr(at, close - at);
    while (close < text.size() && IsAsciiSpace(text[close])) ++close;  // blanks before ')' only
    if (close == text.size() || text[close] != ')') return {};
    next = close + 1;
    return link;
}

void CollectAfter(std::string_view text, std::string_view marker, bool quotedOnly,
                  std::vector<std::string_view>& out)
{
    std::size_t from = 0;
    for (std::size_t at; (at = FindTextNoCase(text, marker, from)) != kNone;) {
        if (marker == "url(" && !IsUrlFunctionAt(text, at + marker.size())) {
            from = at + marker.size();
            continue;
        }
        std::size_t next = 0;
        std::string_view link = ReferenceAt(text, at + marker.size(), quotedOnly, next);
        if (!link.empty()) out.push_back(link);
        from = next > at + marker.size() ? next : at + marker.size();
    }
}

}  // namespace

void CollectStyleLinks(std::string_view text, std::vector<std::string_view>& out)
{
    CollectAfter(text, "url(", false, out);
    CollectAfter(text, "@import", true, out);
}

bool IsStyleLinkAt(std::string_view text, std::size_t offset)
{
    if (offset == 0 || offset > text.size()) return false;
    std::size_t at = offset;
    const char before = text[at - 1];
    const bool quoted = before == '"' || before == '\'';
    if (quoted) {
        --at;
    } else {
        // "url(" + a quoted reference: the quotes' content is the link.
        std::size_t inside = offset;
        while (inside < text.size() && IsAsciiSpace(text[inside])) ++inside;
        if (inside < text.size() && (text[inside] == '"' || text[inside] == '\'')) return false;
    }
    while (at > 0 && IsAsciiSpace(text[at - 1])) --at;
    if (IsUrlFunctionAt(text, at)) return true;
    return quoted && EndsWithNoCase(text.substr(0, at), "@import");
}
