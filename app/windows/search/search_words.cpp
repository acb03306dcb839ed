#include "app/windows/search/search_words.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "foundation/text/ascii_chars.h"

namespace {

constexpr char kNoBreakSpace[] = "\xC2\xA0";

bool EqualAt(std::string_view text, std::size_t at, std::string_view term, bool matchCase)
{
    for (std::size_t i = 0; i < term.size(); ++i) {
        const char a = text[at + i], b = term[i];
        if (matchCase ? a != b : AsciiUpper(a) != AsciiUpper(b)) return false;
    }
    return true;
}

// An occurrence at the start needs only a char after it that is not a letter
// or digit (a byte of a multi-byte character counts as a letter); elsewhere
// it must stand between delimiters (or end the text).
bool IsWholeWord(std::string_view text, std::size_t at, std::size_t length, const CWordDelimiters& delimiters)
{
    for (std::size_t i = at; i < at + length; ++i)
        if (delimiters.DelimiterAt(text, i) != 0) return false;
    const std::size_t after = at + length;
    if (at == 0)
        return after == text.size() ||
               (!IsAsciiAlnum(static_cast<unsigned char>(text[after])) && static_cast<unsigned char>(text[after]) < 0x80);
    if (delimiters.DelimiterBefore(text, at) == 0) return false;
    return after == text.size() || delimiters.DelimiterAt(text, after) != 0;
}

}  // namespace

CWordDelimiters::CWordDelimiters()
{
    for (unsigned c = 0x01; c <= 0x20; ++c) mASCII.set(c);
    for (unsigned char c : {'\x7F', '"', '<', '>'}) mASCII.set(static_cast<unsigned char>(c));
}

std::size_t CWordDelimiters::DelimiterAt(std::string_view text, std::size_t at) const
{
    if (at >= text.size()) return 0;
    if (IsDelimiter(text[at])) return 1;
    return text.substr(at, 2) == kNoBreakSpace ? 2 : 0;
}

std::size_t CWordDelimiters::DelimiterBefore(std::string_view text, std::size_t end) const
{
    if (end == 0 || end > text.size()) return 0;
    if (IsDelimiter(text[end - 1])) return 1;
    return end >= 2 && text.substr(end - 2, 2) == kNoBreakSpace ? 2 : 0;
}

std::string MakeWordText(const PlistValue& words, std::string_view separator, bool alphabetical)
{
    std::string line;
    if (!words.IsDictionary() || words.Count() == 0) return line;
    std::vector<std::size_t> order(words.Count());
    std::iota(order.begin(), order.end(), 0);
    if (alphabetical) {
        std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return words.KeyAt(a) < words.KeyAt(b); });
    } else {
        // A count that is missing (not a number) compares equal to any other.
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            const PlistValue &left = words.ItemAt(a), &right = words.ItemAt(b);
            return left.IsInteger() && right.IsInteger() && left.Integer() > right.Integer();
        });
    }
    for (std::size_t index : order) {
        line += words.KeyAt(index);
        line += separator;
    }
    return line;
}

std::size_t FindTerm(std::string_view text, std::string_view term, bool matchCase, const CWordDelimiters* delimiters)
{
    if (term.empty() || term.size() > text.size()) return std::string_view::npos;
    for (std::size_t at = 0; at + term.size() <= text.size(); ++at) {
        if (!EqualAt(text, at, term, matchCase)) continue;
        if (delimiters == nullptr || IsWholeWord(text, at, term.size(), *delimiters)) return at;
    }
    return std::string_view::npos;
}

bool MatchesTerms(std::string_view text, const TPooledList<CFixedString255>& terms, const SSearchOptions& options,
                  const CWordDelimiters& delimiters)
{
    if (terms.IsEmpty()) return false;
    for (const CFixedString255& term : terms) {
        const bool found = FindTerm(text, term.c_str(), options.matchCase,
                                    options.wholeWords ? &delimiters : nullptr) != std::string_view::npos;
        if (found != options.allTerms) return found;
    }
    return options.allTerms;
}
