// The search's word tests: the word line made from a file's word list, and
// the match of the query's terms against it.
#pragma once

#include <bitset>
#include <string>
#include <string_view>

#include "foundation/containers/pooled_list.h"
#include "foundation/text/fixed_string.h"
#include "platform/plist/plist_value.h"

// Where whole words end: the control characters 0x01-0x1F, the blank, DEL,
// '"', '<', '>' and the no-break space U+00A0 (two bytes in UTF-8).
class CWordDelimiters {
public:
    CWordDelimiters();
    // The length of the delimiter that starts at `at` (1, 2 for the no-break
    // space), 0 when none does; `at` past the end gives 0.
    std::size_t DelimiterAt(std::string_view text, std::size_t at) const;
    // The length of the delimiter that ends just before `end`, 0 when none.
    std::size_t DelimiterBefore(std::string_view text, std::size_t end) const;
    bool IsDelimiter(char c) const { return static_cast<unsigned char>(c) < 0x80 && mASCII.test(static_cast<unsigned char>(c)); }

private:
    std::bitset<128> mASCII;
};

struct SSearchOptions {
    bool matchCase = false;
    bool allTerms = true;
    bool wholeWords = true;
};

// Every word of the list followed by `separator`: by count, largest first
// (equal counts keep the list's order), or alphabetically by bytes. "" for an
// empty list.
std::string MakeWordText(const PlistValue& words, std::string_view separator, bool alphabetical);

// The offset of the first occurrence of `term` in `text` (exact, or ignoring
// the case of ASCII letters); with `delimiters`, only an occurrence that
// stands as a whole word. npos when none.
std::size_t FindTerm(std::string_view text, std::string_view term, bool matchCase,
                     const CWordDelimiters* delimiters);

// The terms against the word line: no terms never match; all terms must
// occur, or any one, as the options say.
bool MatchesTerms(std::string_view text, const TPooledList<CFixedString255>& terms, const SSearchOptions& options,
                  const CWordDelimiters& delimiters);
