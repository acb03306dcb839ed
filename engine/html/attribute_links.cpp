#include "engine/html/attribute_links.h"

#include <cstring>

#include "engine/html/anchor_text.h"
#include "foundation/text/ascii.h"

namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool IsBlankAt(std::string_view text, std::size_t at) { return IsAsciiSpace(static_cast<unsigned char>(text[at])); }

// `word` ends at `end` and starts the text or follows a blank.
bool EndsWithWordNoCase(std::string_view text, std::size_t end, std::string_view word)
{
    const std::string_view before = text.substr(0, end);
    if (!EndsWithNoCase(before, word)) return false;
    const std::size_t start = before.size() - word.size();
    return start == 0 || IsBlankAt(before, start - 1);
}

}  // namespace

ELinkAttribute LinkAttributeEndingAt(std::string_view text, std::size_t nameEnd)
{
    if (nameEnd == 0 || nameEnd > text.size()) return ELinkAttribute::kNone;
    switch (AsciiLower(text[nameEnd - 1])) {
    case 'f': return EndsWithWordNoCase(text, nameEnd, "href") ? ELinkAttribute::kLink : ELinkAttribute::kNone;
    case 'c': return EndsWithWordNoCase(text, nameEnd, "src") ? ELinkAttribute::kLink : ELinkAttribute::kNone;
    case 'd': return EndsWithWordNoCase(text, nameEnd, "background") ? ELinkAttribute::kLink : ELinkAttribute::kNone;
    case 't': return EndsWithWordNoCase(text, nameEnd, "srcset") ? ELinkAttribute::kSrcset : ELinkAttribute::kNone;
    default: return ELinkAttribute::kNone;
    }
}

void ForEachSrcsetCandidate(std::string_view value, const std::function<void(std::size_t, std::size_t)>& each)
{
    std::size_t at = 0;
    while (at < value.size()) {
        while (at < value.size() && (IsBlankAt(value, at) || value[at] == ',')) ++at;
        const std::size_t start = at;
        while (at < value.size() && !IsBlankAt(value, at)) ++at;
        std::size_t end = at;
        const bool commaEnded = end > start && value[end - 1] == ',';
        while (end > start && value[end - 1] == ',') --end;
        if (end > start) each(start, end - start);
        if (!commaEnded)
            while (at < value.size() && value[at] != ',') ++at;  // the descriptors
    }
}

void CollectAttributeLinks(std::string_view text, std::vector<std::string_view>& out)
{
    // Every search moves forward only, so the pass stays linear whatever
    // the page holds (values that never close, runs of blanks).
    CForwardFinder doubleQuotes(text, {}, "\"");
    CForwardFinder singleQuotes(text, {}, "'");
    CForwardFinder angles(text, {}, "<>");
    CForwardFinder valueEnds(text, {}, " \t\n\v\f\r>");
    const std::size_t size = text.size();
    for (std::size_t equals = text.find('='); equals != kNone; equals = text.find('=', equals + 1)) {
        std::size_t nameEnd = equals;
        while (nameEnd > 0 && IsBlankAt(text, nameEnd - 1)) --nameEnd;
        const ELinkAttribute attribute = LinkAttributeEndingAt(text, nameEnd);
        if (attribute == ELinkAttribute::kNone) continue;
        std::size_t start = equals + 1;
        while (start < size && IsBlankAt(text, start)) ++start;
        // The delimiter pairs read href="x" and src=x themselves.
        const bool spaced = nameEnd != equals || start != equals + 1;
        if (attribute == ELinkAttribute::kLink && !spaced) continue;
        // An unquoted value never starts a tag ("src = <span ..." in a code sample).
        if (start >= size || text[start] == '>' || text[start] == '<') continue;
        std::size_t end;
        if (text[start] == '"' || text[start] == '\'') {
            ++start;
            end = (text[start - 1] == '"' ? doubleQuotes : singleQuotes).NextFrom(start);
            if (end == kNone) continue;
            const std::size_t angle = angles.NextFrom(start);
            if (angle != kNone && angle < end) continue;
        } else {
            end = valueEnds.NextFrom(start);
            if (end == kNone) end = size;
        }
        const std::string_view value = text.substr(start, end - start);
        if (attribute == ELinkAttribute::kSrcset) {
            ForEachSrcsetCandidate(value, [&](std::size_t offset, std::size_t length) {
                out.push_back(value.substr(offset, length));
            });
        } else if (!value.empty()) {
            out.push_back(value);
        }
    }
}
