#include "engine/html/delimited_links.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "engine/config/configuration.h"
#include "engine/html/anchor_text.h"
#include "engine/html/visible_text.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

constexpr std::size_t kNone = std::string_view::npos;
constexpr std::string_view kValueEnds = " \t\n\v\f\r>";

// One pair's forward pass over `source`, writing what stays to `out`,
// which has room for all of `source` and may be `source` itself: what is
// written never passes what is read, so a pass can compact its own text.
class CPairPass {
public:
    // `textBegins`: the places of the begin text, in order, that start no
    // span (they stand in a page's visible text).
    CPairPass(std::string_view source, char* out, const CLinkDelimiterPair& pair, std::size_t firstBegin,
              const std::vector<std::size_t>& textBegins)
        : mSource(source), mOut(out), mPair(pair), mFirstBegin(firstBegin), mTextBegins(textBegins),
          mValueEnds(source, {}, kValueEnds), mAnchors(source)
    {
    }

    // The length of what stays; `visiting` turns false when the visitor stopped.
    std::size_t Run(const DelimitedLinkVisitor* visit, bool& visiting)
    {
        const std::string_view begin = mPair.begin;
        std::size_t read = 0;
        visiting = true;
        while (true) {
            std::size_t beginAt = kNone;  // in the source; kNone when the marker straddles the seam
            std::size_t keptPrefix = 0;   // chars of the marker that stand at the end of the kept text
            std::size_t afterBegin = 0;
            if (read > 0) keptPrefix = SeamMatch(read);
            if (keptPrefix > 0) {
                afterBegin = read + begin.size() - keptPrefix;
            } else {
                beginAt = read == 0 ? mFirstBegin : NextBegin(read);
                if (beginAt == kNone) break;
                afterBegin = beginAt + begin.size();
            }
            std::size_t linkEnd = 0, spanEnd = 0;
            if (!FindSpanEnd(afterBegin, linkEnd, spanEnd)) break;  // no span is left

            if (keptPrefix > 0) mWritten -= keptPrefix;
            else Keep(read, beginAt - read);
            read = spanEnd;
            if (visit && !(*visit)(mSource.substr(afterBegin, linkEnd - afterBegin), linkEnd, mAnchors)) {
                visiting = false;
                break;
            }
        }
        Keep(read, mSource.size() - read);
        return mWritten;
    }

private:
    void Keep(std::size_t from, std::size_t count)
    {
        if (count > 0 && mOut + mWritten != mSource.data() + from) std::memmove(mOut + mWritten, mSource.data() + from, count);
        mWritten += count;
    }

    // The next place of the begin text at or after `from` that may start a
    // span. The source is read only from `from` on, which no write has
    // reached.
    std::size_t NextBegin(std::size_t from)
    {
        for (std::size_t at = FindTextNoCase(mSource, mPair.begin, from); at != kNone;
             at = FindTextNoCase(mSource, mPair.begin, at + 1)) {
            while (mNextTextBegin < mTextBegins.size() && mTextBegins[mNextTextBegin] < at) ++mNextTextBegin;
            if (mNextTextBegin == mTextBegins.size() || mTextBegins[mNextTextBegin] != at) return at;
        }
        return kNone;
    }

    // Right after a cut, the begin marker may be made of the end of the kept
    // text and the start of the unread text: the number of its chars in the
    // kept text, or 0.
    std::size_t SeamMatch(std::size_t read)
    {
        const std::string_view begin = mPair.begin;
        if (begin.size() < 2 || mWritten == 0) return 0;
        std::size_t kept = std::min(begin.size() - 1, mWritten);
        std::size_t unread = std::min(begin.size() - 1, mSource.size() - read);
        mSeam.assign(mOut + mWritten - kept, kept);
        mSeam.append(mSource, read, unread);
        std::size_t at = FindTextNoCase(mSeam, begin);
        return at != kNone && at < kept ? kept - at : 0;
    }

    bool FindSpanEnd(std::size_t from, std::size_t& linkEnd, std::size_t& spanEnd)
    {
        const std::string_view end = mPair.end;
        if (!mPair.attributeValue) {
            std::size_t at = FindTextNoCase(mSource, end, from);
            if (at == kNone) return false;
            linkEnd = at;
            spanEnd = at + end.size();
            return true;
        }
        std::size_t valueEnd = mValueEnds.NextFrom(from);
        if (valueEnd == kNone) valueEnd = mSource.size();
        // The end text counts when it starts within the value or right at its end.
        std::size_t window = std::min(mSource.size(), valueEnd + end.size());
        std::size_t at = end.empty() ? kNone : FindTextNoCase(mSource.substr(0, window), end, from);
        if (at != kNone) {
            linkEnd = at;
            spanEnd = at + end.size();
            return true;
        }
        if (valueEnd == mSource.size()) return false;
        linkEnd = spanEnd = valueEnd;  // the blank or '>' stays in the text
        return true;
    }

    std::string_view mSource;
    char* mOut;
    std::size_t mWritten = 0;
    const CLinkDelimiterPair& mPair;
    std::size_t mFirstBegin;
    const std::vector<std::size_t>& mTextBegins;
    std::size_t mNextTextBegin = 0;
    CForwardFinder mValueEnds;
    CAnchorSource mAnchors;
    std::string mSeam;
};

// Where a pair's begin text first occurs in the text, for the pairs of one
// page. Most pairs find nothing in most pages, and each would look through
// the whole page to learn it; their begin texts have an '=' (a link
// attribute's), so the page's '=' are listed once and the list serves every
// pair until a pass changes the text.
class CFirstBegins {
public:
    std::size_t Find(std::string_view text, std::string_view begin)
    {
        const std::size_t anchor = begin.find('=');
        if (anchor == kNone) return FindTextNoCase(text, begin);
        if (!mListed || mListedText.data() != text.data() || mListedText.size() != text.size()) List(text);
        for (const std::size_t equals : mEquals) {
            if (equals < anchor) continue;
            const std::size_t at = equals - anchor;
            if (at + begin.size() > text.size()) break;
            if (EqualsNoCase(text.substr(at, begin.size()), begin)) return at;
        }
        return kNone;
    }
    // The text is about to change.
    void Forget() { mListed = false; }

private:
    void List(std::string_view text)
    {
        mEquals.clear();
        for (std::size_t at = text.find('='); at != kNone; at = text.find('=', at + 1)) mEquals.push_back(at);
        mListedText = text;
        mListed = true;
    }

    std::vector<std::size_t> mEquals;
    std::string_view mListedText;
    bool mListed = false;
};

// Runs one pair over `text`. The first pair that cuts anything copies what
// stays into `work`; later ones compact `work` in place. `text` then views
// what is left.
bool RunPair(std::string_view& text, const CLinkDelimiterPair& pair, const DelimitedLinkVisitor* visit,
             std::string& work, CFirstBegins& firstBegins, bool markupOnly = false)
{
    if (pair.begin.empty() || (pair.end.empty() && !pair.attributeValue)) return true;
    // A pair that finds nothing leaves the text alone.
    std::size_t first = firstBegins.Find(text, pair.begin);
    if (first == kNone) return true;
    // In a page, the places in its visible text are found before the pass
    // compacts the text it reads.
    std::vector<std::size_t> textBegins;
    if (markupOnly) {
        std::optional<CVisibleTextSpans> spans;
        std::size_t markupBegin = kNone;
        for (std::size_t at = first; at != kNone; at = FindTextNoCase(text, pair.begin, at + 1)) {
            if (!IsPlainlyInStartTag(text, at)) {
                if (!spans) spans.emplace(text);
                if (spans->InText(at)) {
                    textBegins.push_back(at);
                    continue;
                }
            }
            if (markupBegin == kNone) markupBegin = at;
        }
        if (markupBegin == kNone) return true;
        first = markupBegin;
    }
    firstBegins.Forget();
    const bool inWork = !work.empty() && text.data() == work.data();
    if (!inWork) work.assign(text);  // room for all of it, and the source stays the caller's text
    char* out = work.data();
    std::string_view source = inWork ? text : std::string_view(text);
    bool visiting = true;
    CPairPass pass(source, out, pair, first, textBegins);
    std::size_t length = pass.Run(visit, visiting);
    text = std::string_view(work.data(), length);
    return visiting;
}

std::string_view CutText(std::string_view text)
{
    return text.substr(0, std::min(text.size(), kDelimiterTextLimit));
}

}  // namespace

CLinkDelimiterPair::CLinkDelimiterPair(std::string_view beginText, std::string_view endText)
    : begin(CutText(beginText)), end(CutText(endText)), attributeValue(!begin.empty() && begin.back() == '=')
{
}

std::vector<CLinkDelimiterPair> EnabledDelimiterPairs(const TPooledList<CDelimiter>& delimiters)
{
    std::vector<CLinkDelimiterPair> pairs;
    for (const CDelimiter& delimiter : delimiters)
        if (delimiter.enabled && !delimiter.start.IsEmpty())
            pairs.emplace_back(delimiter.start.View(), delimiter.end.View());
    return pairs;
}

const std::vector<CLinkDelimiterPair>& DefaultDelimiterPairs()
{
    static const std::vector<CLinkDelimiterPair> pairs = [] {
        TPooledList<CDelimiter> delimiters;
        MakeDefaultDelimiters(delimiters);
        return EnabledDelimiterPairs(delimiters);
    }();
    return pairs;
}

bool CutDelimitedLinks(std::string_view text, const std::vector<CLinkDelimiterPair>& pairs,
                       const DelimitedLinkVisitor& visit, std::string* left, bool markupOnly)
{
    // Each pass reads what the one before it left: the caller's text until a
    // pair cuts something, then one work copy that every later pass
    // compacts in place.
    std::string work;
    CFirstBegins firstBegins;
    bool going = true;
    for (const CLinkDelimiterPair& pair : pairs)
        if (!(going = RunPair(text, pair, &visit, work, firstBegins, markupOnly))) break;
    if (left) left->assign(text);
    return going;
}

void ExtractDelimitedLinks(std::string_view text, const std::vector<CLinkDelimiterPair>& pairs,
                           std::vector<std::string>& out)
{
    CutDelimitedLinks(text, pairs, [&out](std::string_view link, std::size_t, CAnchorSource&) {
        out.emplace_back(link);
        return true;
    });
}

void DeleteAllBetween(std::string& text, std::string_view begin, std::string_view end)
{
    if (begin.empty() || end.empty()) return;
    CLinkDelimiterPair pair(begin, end);
    pair.begin.assign(begin);  // not a link pair: the markers are used whole
    pair.end.assign(end);
    pair.attributeValue = false;
    std::string_view view = text;
    CFirstBegins firstBegins;
    RunPair(view, pair, nullptr, text, firstBegins);
    text.resize(view.size());
}

void RemoveAnchorHrefs(std::string& text)
{
    const std::string_view source = text;
    const std::size_t size = source.size();
    std::string out;
    std::size_t copied = 0;  // source chars before this are in `out` (or deleted)
    auto blank = [&](std::size_t i) { return IsAsciiSpace(static_cast<unsigned char>(source[i])); };

    for (std::size_t tag = FindTextNoCase(source, "<a"); tag != kNone; tag = FindTextNoCase(source, "<a", tag + 1)) {
        std::size_t i = tag + 2;
        if (i >= size || !blank(i)) continue;
        // Walk the attributes up to the end of the tag.
        while (i < size) {
            while (i < size && blank(i)) ++i;
            if (i >= size || source[i] == '>' || source[i] == '<') break;
            if (source[i] == '/') {
                ++i;
                continue;
            }
            const std::size_t nameStart = i;
            while (i < size && !blank(i) && source[i] != '=' && source[i] != '>' && source[i] != '/') ++i;
            const std::string_view name = source.substr(nameStart, i - nameStart);
            std::size_t j = i;
            while (j < size && blank(j)) ++j;
            if (j >= size || source[j] != '=') continue;  // an attribute without a value
            ++j;
            while (j < size && blank(j)) ++j;
            if (j < size && (source[j] == '"' || source[j] == '\'')) {
                std::size_t close = source.find(source[j], j + 1);
                j = close == kNone ? size : close + 1;
            } else {
                while (j < size && !blank(j) && source[j] != '>') ++j;
            }
            if (EqualsNoCase(name, "href")) {
                if (out.empty()) out.reserve(size);
                out.append(source, copied, nameStart - copied);
                copied = j;
            }
            i = j;
        }
        tag = i > tag ? i - 1 : tag;
    }
    if (copied == 0) return;
    out.append(source, copied);
    text.swap(out);
}
