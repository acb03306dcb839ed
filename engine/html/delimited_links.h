// Links between delimiter pairs ("HREF=\"" ... "\""), and the span removals
// that the extraction's work copies go through.
//
// The delimiter pairs are applied one after the other to one work copy: each
// pair cuts every span from its begin text through the next end text out of
// the copy (ignoring case), so a later pair sees only what the earlier ones
// left. Each pair's cutting is one forward pass that builds the remaining
// text, including the spans that a cut joins together out of the text on
// both sides of it, so the result is that of cutting the first span again
// and again, in linear time.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/containers/pooled_list.h"

class CAnchorSource;
struct CDelimiter;

inline constexpr std::size_t kDelimiterTextLimit = 31;

struct CLinkDelimiterPair {
    CLinkDelimiterPair(std::string_view beginText, std::string_view endText);

    std::string begin;  // cut to kDelimiterTextLimit bytes
    std::string end;
    // The begin text ends with '=': an unquoted attribute value, which also
    // ends at a blank or a '>', as HTML reads it ("SRC=a.gif>" gives
    // "a.gif", not everything up to the next blank).
    bool attributeValue;
};

// The enabled pairs of a configuration's list, in order; pairs with an
// empty begin text are left out.
std::vector<CLinkDelimiterPair> EnabledDelimiterPairs(const TPooledList<CDelimiter>& delimiters);
// The enabled pairs of the default list of every configuration.
const std::vector<CLinkDelimiterPair>& DefaultDelimiterPairs();

// Gets each link with where it ends in the text it was cut from (the text
// the current pair works on) and the anchor finders of that text; returns
// false to stop the extraction.
using DelimitedLinkVisitor = std::function<bool(std::string_view link, std::size_t linkEnd, CAnchorSource& anchors)>;

// Applies `pairs` in order to `text`; `left` (may be null) receives what
// is left of it. False when the visitor stopped. With `markupOnly` (the
// text is a page) a begin text that stands in the page's visible text
// starts no span: "&lt;a href=\"x.html\"&gt;" in an example shows a link
// to the reader and links nothing.
bool CutDelimitedLinks(std::string_view text, const std::vector<CLinkDelimiterPair>& pairs,
                       const DelimitedLinkVisitor& visit, std::string* left = nullptr, bool markupOnly = false);

// Every link of the pairs, in the order found.
void ExtractDelimitedLinks(std::string_view text, const std::vector<CLinkDelimiterPair>& pairs,
                           std::vector<std::string>& out);

// Deletes every span from `begin` through the next `end` (both found
// ignoring case), as if the first one were deleted again and again.
void DeleteAllBetween(std::string& text, std::string_view begin, std::string_view end);

// Deletes the href attribute (name, '=' and its quoted or unquoted value)
// from every anchor start tag, whatever its place among the attributes, so
// a one-page grab keeps the resources of a page but none of its anchors.
void RemoveAnchorHrefs(std::string& text);
