#include "engine/html/link_rewriter.h"

#include <cstring>

#include "engine/html/anchor_text.h"
#include "engine/html/style_links.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// The next `target` char at or after a position that never decreases.
class CNextChar {
public:
    CNextChar(std::string_view text, char target) : mText(text), mTarget(target) {}
    std::size_t NextFrom(std::size_t from)
    {
        if (mSearched && from >= mSearchedFrom && (mFoundAt == kNone || from <= mFoundAt)) return mFoundAt;
        mSearched = true;
        mSearchedFrom = from;
        const void* hit = from < mText.size() ? std::memchr(mText.data() + from, mTarget, mText.size() - from) : nullptr;
        mFoundAt = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - mText.data()) : kNone;
        return mFoundAt;
    }

private:
    std::string_view mText;
    char mTarget;
    std::size_t mFoundAt = kNone;
    std::size_t mSearchedFrom = 0;
    bool mSearched = false;
};

struct COfferStarts {
    bool table[256] = {};
    COfferStarts()
    {
        for (unsigned char c : std::string_view("\"'(=")) table[c] = true;
    }
};

// `word` ends at `end` and starts the text or follows a blank.
bool EndsWithWordNoCase(std::string_view text, std::size_t end, std::string_view word)
{
    const std::string_view before = text.substr(0, end);
    if (!EndsWithNoCase(before, word)) return false;
    const std::size_t start = before.size() - word.size();
    return start == 0 || IsAsciiSpace(before[start - 1]);
}

// True when the '=' at `equals` follows the name of an attribute that holds
// a link: href, src or background, standing after a blank.
bool FollowsLinkAttribute(std::string_view page, std::size_t equals)
{
    if (equals == 0) return false;
    switch (AsciiLower(page[equals - 1])) {
    case 'f': return EndsWithWordNoCase(page, equals, "href");
    case 'c': return EndsWithWordNoCase(page, equals, "src");
    case 'd': return EndsWithWordNoCase(page, equals, "background");
    default: return false;
    }
}

}  // namespace

CRewriteResult RewriteLinks(std::string_view page, const LinkRewriteCallback& callback, std::string& out)
{
    static const COfferStarts starts;
    const std::size_t size = page.size();
    CNextChar doubleQuotes(page, '"');
    CNextChar singleQuotes(page, '\'');
    CNextChar closings(page, ')');
    CNextChar openings(page, '(');
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
        while (i < size && !offerStart[bytes[i]]) ++i;
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
        } else if (FollowsLinkAttribute(page, i) && start < size) {
            char first = page[start];
            if (first != '"' && first != '\'' && first != '>' && !IsAsciiSpace(first)) {
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
    if (occurrence.delimiter == ELinkDelimiter::kUnquotedAttribute) return true;
    if (IsStyleLinkAt(page, occurrence.offset)) return true;
    if (occurrence.delimiter == ELinkDelimiter::kParenthesis || occurrence.offset < 2) return false;
    std::size_t at = occurrence.offset - 1;  // the opening quote
    while (at > 0 && IsAsciiSpace(page[at - 1])) --at;
    if (at == 0 || page[at - 1] != '=') return false;
    --at;
    while (at > 0 && IsAsciiSpace(page[at - 1])) --at;
    return FollowsLinkAttribute(page, at);
}
