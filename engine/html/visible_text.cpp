#include "engine/html/visible_text.h"

#include <algorithm>

#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// Whether `name` opens at `at` as a whole tag name, ignoring case.
bool TagNameAt(std::string_view page, std::size_t at, std::string_view name)
{
    if (page.size() - at < name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (AsciiLower(page[at + i]) != name[i]) return false;
    if (at + name.size() == page.size()) return true;
    const char next = page[at + name.size()];
    return next == '>' || next == '/' || IsAsciiSpace(static_cast<unsigned char>(next));
}

// The start tag `tag` ("<form ...>") says method="post" (any case, any
// quoting).
bool IsPostFormTag(std::string_view tag)
{
    if (!TagNameAt(tag, 1, "form")) return false;
    for (std::size_t at = FindTextNoCase(tag, "method"); at != kNone; at = FindTextNoCase(tag, "method", at + 6)) {
        std::size_t i = at + 6;
        while (i < tag.size() && IsAsciiSpace(static_cast<unsigned char>(tag[i]))) ++i;
        if (i >= tag.size() || tag[i] != '=') continue;
        ++i;
        while (i < tag.size() && (IsAsciiSpace(static_cast<unsigned char>(tag[i])) || tag[i] == '"' || tag[i] == '\''))
            ++i;
        return tag.size() - i >= 4 && FindTextNoCase(tag.substr(i, 4), "post") == 0;
    }
    return false;
}

// Attributes whose values are names or texts for people, never addresses.
bool IsInertAttribute(std::string_view name)
{
    static constexpr std::string_view kInert[] = {"id",    "name",  "class",       "alt",     "title",
                                                  "label", "summary", "placeholder", "headers", "for"};
    for (std::string_view inert : kInert)
        if (EqualsNoCase(name, inert)) return true;
    return name.size() > 5 && BeginsWithNoCase(name, "aria-");
}

bool IsAttributeNameChar(char c)
{
    return !IsAsciiSpace(static_cast<unsigned char>(c)) && c != '=' && c != '<' && c != '>' && c != '"' &&
           c != '\'' && c != '/';
}

}  // namespace

bool IsPlainlyInStartTag(std::string_view page, std::size_t offset)
{
    constexpr std::size_t kLookBack = 256;
    const std::size_t stop = offset > kLookBack ? offset - kLookBack : 0;
    for (std::size_t i = std::min(offset, page.size()); i > stop; --i) {
        const char c = page[i - 1];
        if (c == '>') return false;
        if (c == '<') return i < page.size() && IsAsciiAlpha(static_cast<unsigned char>(page[i]));
    }
    return false;
}

CVisibleTextSpans::CVisibleTextSpans(std::string_view page)
    : mPage(page), mOpenings(page, {}, "<"), mTagEnds(page, {}, ">"), mCommentEnds(page, "-->"),
      mScriptEnds(page, "</script"), mStyleEnds(page, "</style")
{
    NextMarkup();
}

void CVisibleTextSpans::NextMarkup()
{
    std::size_t from = mMarkupEnd;
    for (;;) {
        const std::size_t open = mOpenings.NextFrom(from);
        if (open == kNone || open + 1 >= mPage.size()) {
            mMarkupStart = mMarkupEnd = kNone;
            return;
        }
        const char next = mPage[open + 1];
        // "a < b" is text: markup starts with a name, '/', '!' or '?'.
        if (!IsAsciiAlpha(static_cast<unsigned char>(next)) && next != '/' && next != '!' && next != '?') {
            from = open + 1;
            continue;
        }
        mMarkupStart = open;
        std::size_t end;
        mMarkupIsComment = mPage.substr(open, 4) == "<!--";
        if (mMarkupIsComment) {
            end = mCommentEnds.NextFrom(open + 4);
            end = end == kNone ? kNone : end + 3;
        } else {
            end = mTagEnds.NextFrom(open + 1);
            mStartTagEnd = end == kNone ? mPage.size() : end;
            // A script or style runs through its end tag.
            CForwardFinder* close = TagNameAt(mPage, open + 1, "script") ? &mScriptEnds
                                    : TagNameAt(mPage, open + 1, "style") ? &mStyleEnds
                                                                          : nullptr;
            if (close != nullptr && end != kNone) {
                const std::size_t closing = close->NextFrom(end);
                end = closing == kNone ? kNone : mTagEnds.NextFrom(closing);
            }
            end = end == kNone ? kNone : end + 1;
        }
        mMarkupEnd = end == kNone ? mPage.size() : end;
        return;
    }
}

bool CVisibleTextSpans::InMarkup(std::size_t offset)
{
    while (mMarkupStart != kNone && offset >= mMarkupEnd) NextMarkup();
    return mMarkupStart != kNone && offset >= mMarkupStart;
}

bool CVisibleTextSpans::InText(std::size_t offset) { return !InMarkup(offset); }

bool CVisibleTextSpans::InComment(std::size_t offset) { return InMarkup(offset) && mMarkupIsComment; }

bool CVisibleTextSpans::InPostFormTag(std::size_t offset)
{
    if (!InMarkup(offset) || mMarkupIsComment) return false;
    if (mPostFormSpan != mMarkupStart) {
        mPostFormSpan = mMarkupStart;
        mMarkupIsPostForm = IsPostFormTag(mPage.substr(mMarkupStart, mMarkupEnd - mMarkupStart));
    }
    return mMarkupIsPostForm;
}

bool CVisibleTextSpans::AtInertValue(std::size_t offset)
{
    if (!InMarkup(offset) || mMarkupIsComment || offset >= mStartTagEnd) return false;
    if (mPage[mMarkupStart + 1] == '/' || mPage[mMarkupStart + 1] == '!' || mPage[mMarkupStart + 1] == '?')
        return false;
    // Back from the value over its quote, the '=' and the blanks around it
    // to the attribute's name.
    std::size_t at = offset;
    if (at > mMarkupStart && (mPage[at - 1] == '"' || mPage[at - 1] == '\'')) --at;
    while (at > mMarkupStart && IsAsciiSpace(static_cast<unsigned char>(mPage[at - 1]))) --at;
    if (at <= mMarkupStart || mPage[at - 1] != '=') return false;
    --at;
    while (at > mMarkupStart && IsAsciiSpace(static_cast<unsigned char>(mPage[at - 1]))) --at;
    const std::size_t nameEnd = at;
    while (at > mMarkupStart && IsAttributeNameChar(mPage[at - 1])) --at;
    const std::string_view name = mPage.substr(at, nameEnd - at);
    if (name.empty() || at <= mMarkupStart + 1) return false;  // the tag's own name
    if (IsInertAttribute(name)) return true;
    if (!TagNameAt(mPage, mMarkupStart + 1, "a")) return false;
    return !EqualsNoCase(name, "href") && !(name.size() > 2 && BeginsWithNoCase(name, "on"));
}
