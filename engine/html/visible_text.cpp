#include "engine/html/visible_text.h"

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

}  // namespace

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
        if (mPage.substr(open, 4) == "<!--") {
            end = mCommentEnds.NextFrom(open + 4);
            end = end == kNone ? kNone : end + 3;
        } else {
            end = mTagEnds.NextFrom(open + 1);
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

bool CVisibleTextSpans::InText(std::size_t offset)
{
    while (mMarkupStart != kNone && offset >= mMarkupEnd) NextMarkup();
    return mMarkupStart == kNone || offset < mMarkupStart;
}
