// Where a page's visible text lies: outside every tag, comment and
// declaration, and outside the content of script and style elements. Text
// that only looks like a link there ("trailing \"/\"") is what a reader
// sees, so the mirror leaves it as written.
#pragma once

#include <cstddef>
#include <string_view>

#include "engine/html/anchor_text.h"

// Whether `offset` plainly stands inside a start tag: the nearest angle
// bracket before it, a short way back, opens one. Most links of a page do,
// and need no reading of the page (CVisibleTextSpans) to tell them from
// text; false says nothing.
[[nodiscard]] bool IsPlainlyInStartTag(std::string_view page, std::size_t offset);

class CVisibleTextSpans {
public:
    explicit CVisibleTextSpans(std::string_view page);
    // Asked with offsets that never decrease; the page is scanned once.
    [[nodiscard]] bool InText(std::size_t offset);
    // Inside a comment ("<!-- ... -->"); same order of asking as InText.
    [[nodiscard]] bool InComment(std::size_t offset);
    // Inside the start tag of a form that is sent with POST: its action is
    // no page to fetch. Same order of asking as InText.
    [[nodiscard]] bool InPostFormTag(std::size_t offset);
    // At the start of a start tag's attribute value that names nothing to
    // load: a name or a text for people (id, name, class, alt, title, ...),
    // or any value of an anchor but its href and its event handlers (an
    // anchor loads nothing itself). Same order of asking as InText.
    [[nodiscard]] bool AtInertValue(std::size_t offset);

private:
    void NextMarkup();
    // Moves to the markup span at or after `offset`; true when `offset` lies
    // inside it.
    [[nodiscard]] bool InMarkup(std::size_t offset);

    std::string_view mPage;
    std::size_t mMarkupStart = 0;  // the markup span at or after the last offset asked
    std::size_t mMarkupEnd = 0;
    // The end of the span's start tag: a script's or a style's content
    // follows it within the span.
    std::size_t mStartTagEnd = 0;
    bool mMarkupIsComment = false;
    // Whether the span at mPostFormSpan is a POST form's tag, found once.
    std::size_t mPostFormSpan = std::string_view::npos;
    bool mMarkupIsPostForm = false;
    CForwardFinder mOpenings;
    CForwardFinder mTagEnds;
    CForwardFinder mCommentEnds;
    CForwardFinder mScriptEnds;
    CForwardFinder mStyleEnds;
};
