#include "engine/html/link_rewriter.h"

#include <cstdint>
#include <cstring>

#include "engine/html/anchor_text.h"
#include "engine/html/attribute_links.h"
#include "engine/html/style_links.h"
#include "foundation/text/ascii.h"
#include "foundation/text/ascii_words.h"
#include "foundation/text/text_encodings.h"

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// The chars where a link may be offered: an opening quote or parenthesis,
// or the '=' of an unquoted value.
constexpr char kOfferStartChars[] = {'"', '\'', '(', '='};

struct COfferStarts {
    bool table[256] = {};
    COfferStarts()
    {
        for (char c : kOfferStartChars) table[static_cast<unsigned char>(c)] = true;
    }
};

// The first offer start at or after `i`, or `size`. Text between markup
// holds none for dozens of bytes, so it is passed eight bytes at a time.
std::size_t NextOfferStart(const unsigned char* bytes, std::size_t i, std::size_t size, const bool* offerStart)
{
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        std::uint64_t found = 0;
        for (char c : kOfferStartChars) found |= BytesEqual(word, static_cast<unsigned char>(c));
        if (found != 0) break;
    }
    while (i < size && !offerStart[bytes[i]]) ++i;
    return i;
}

// True when the '=' at `equals` follows, after any blanks, the name of an
// attribute that holds one link: href, src or background.
bool FollowsLinkAttribute(std::string_view page, std::size_t equals)
{
    while (equals > 0 && IsAsciiSpace(page[equals - 1])) --equals;
    return LinkAttributeEndingAt(page, equals) == ELinkAttribute::kLink;
}

}  // namespace

CRewriteResult RewriteLinks(std::string_view page, const LinkRewriteCallback& callback, std::string& out)
{
    static const COfferStarts starts;
    const std::size_t size = page.size();
    CForwardFinder doubleQuotes(page, {}, "\"");
    CForwardFinder singleQuotes(page, {}, "'");
    CForwardFinder closings(page, {}, ")");
    CForwardFinder openings(page, {}, "(");
    CForwardFinder angles(page, {}, "<>");
    CForwardFinder valueEnds(page, {}, " \t\n\v\f\r>");
    // An offer [start, end) with no '<' or '>' in it.
    auto withoutAngles = [&angles](std::size_t start, std::size_t end) {
        std::size_t angle = angles.NextFrom(start);
        return angle == kNone || angle >= end;
    };

    CRewriteResult result;
    out.clear();
    out.reserve(size + size / 8 + 64);
    std::string replacement;
    std::size_t copied = 0;
    std::size_t i = 0;
    const bool* offerStart = starts.table;
    const auto* bytes = reinterpret_cast<const unsigned char*>(page.data());
    while (true) {
        i = NextOfferStart(bytes, i, size, offerStart);
        if (i >= size) break;

        const char c = page[i];
        std::size_t start = i + 1;
        std::size_t end = kNone;
        ELinkDelimiter kind = static_cast<ELinkDelimiter>(c);
        if (c == '"' || c == '\'') {
            std::size_t close = (c == '"' ? doubleQuotes : singleQuotes).NextFrom(start);
            if (close != kNone && close > start && withoutAngles(start, close)) end = close;
        } else if (c == '(') {
            std::size_t close = closings.NextFrom(start);
            std::size_t inner = openings.NextFrom(start);
            if (close != kNone && close > start && (inner == kNone || inner > close) && withoutAngles(start, close))
                end = close;
        } else {
            std::size_t nameEnd = i;
            while (nameEnd > 0 && IsAsciiSpace(page[nameEnd - 1])) --nameEnd;
            const ELinkAttribute attribute = LinkAttributeEndingAt(page, nameEnd);
            while (start < size && IsAsciiSpace(page[start])) ++start;
            const char first = start < size ? page[start] : '>';
            if (attribute == ELinkAttribute::kSrcset && first != '>') {
                // Each picture is a link of its own; the value as a whole is none.
                const bool quoted = first == '"' || first == '\'';
                const std::size_t valueStart = quoted ? start + 1 : start;
                std::size_t valueEnd = quoted ? (first == '"' ? doubleQuotes : singleQuotes).NextFrom(valueStart)
                                              : valueEnds.NextFrom(valueStart);
                if (valueEnd == kNone) valueEnd = quoted ? kNone : size;
                if (valueEnd != kNone && withoutAngles(valueStart, valueEnd)) {
                    const std::string_view value = page.substr(valueStart, valueEnd - valueStart);
                    bool stopped = false;
                    ForEachSrcsetCandidate(value, [&](std::size_t offset, std::size_t length) {
                        if (stopped) return;
                        const std::size_t at = valueStart + offset;
                        replacement.clear();
                        const ERewrite answer = callback(
                            CLinkOccurrence{page.substr(at, length), at, ELinkDelimiter::kSrcsetCandidate}, replacement);
                        if (answer == ERewrite::kStop) stopped = true;
                        if (answer != ERewrite::kReplace) return;
                        out.append(page, copied, at - copied);
                        out += replacement;
                        copied = at + length;
                        ++result.replaced;
                    });
                    if (stopped) {
                        result.stopped = true;
                        break;
                    }
                    i = quoted ? valueEnd + 1 : valueEnd;
                    continue;
                }
            } else if (attribute == ELinkAttribute::kLink && first != '"' && first != '\'' && first != '>') {
                std::size_t valueEnd = valueEnds.NextFrom(start);
                if (valueEnd == kNone) valueEnd = size;
                if (withoutAngles(start, valueEnd)) end = valueEnd;
            }
        }
        if (end == kNone) {
            ++i;
            continue;
        }

        replacement.clear();
        ERewrite answer = callback(CLinkOccurrence{page.substr(start, end - start), start, kind}, replacement);
        if (answer == ERewrite::kStop) {
            result.stopped = true;
            break;
        }
        if (answer == ERewrite::kReplace) {
            out.append(page, copied, start - copied);
            out += replacement;
            copied = end;
            ++result.replaced;
            // The closing delimiter is copied with the rest; it opens nothing.
            i = kind == ELinkDelimiter::kUnquotedAttribute ? end : end + 1;
        } else {
            ++i;
        }
    }
    out.append(page, copied);
    return result;
}

bool IsMarkupLink(std::string_view page, const CLinkOccurrence& occurrence)
{
    if (occurrence.delimiter == ELinkDelimiter::kUnquotedAttribute ||
        occurrence.delimiter == ELinkDelimiter::kSrcsetCandidate)
        return true;
    if (IsStyleLinkAt(page, occurrence.offset)) return true;
    if (occurrence.delimiter == ELinkDelimiter::kParenthesis || occurrence.offset < 2) return false;
    std::size_t at = occurrence.offset - 1;  // the opening quote
    while (at > 0 && IsAsciiSpace(page[at - 1])) --at;
    if (at == 0 || page[at - 1] != '=') return false;
    --at;
    while (at > 0 && IsAsciiSpace(page[at - 1])) --at;
    return FollowsLinkAttribute(page, at);
}
