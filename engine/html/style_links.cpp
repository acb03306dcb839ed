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

// The reference that starts at `at` (just after "url(" or "@import"); its
// end in `next`. Empty when there is none.
std::string_view ReferenceAt(std::string_view text, std::size_t at, bool quotedOnly, std::size_t& next)
{
    while (at < text.size() && IsAsciiSpace(text[at])) ++at;
    next = at + 1;
    if (at >= text.size()) return {};
    const char first = text[at];
    if (first == '"' || first == '\'') {
        const std::size_t close = text.find(first, at + 1);
        if (close == kNone) return {};
        next = close + 1;
        std::string_view link = text.substr(at + 1, close - at - 1);
        return link.find_first_of("\n\r<>") == kNone ? link : std::string_view();
    }
    if (quotedOnly) return {};
    const std::size_t close = text.find(')', at);
    if (close == kNone) return {};
    next = close + 1;
    std::string_view link = text.substr(at, close - at);
    while (!link.empty() && IsAsciiSpace(link.back())) link.remove_suffix(1);
    for (char c : link)
        if (IsAsciiSpace(c) || c == '"' || c == '\'' || c == '(' || c == '<' || c == '>') return {};
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
