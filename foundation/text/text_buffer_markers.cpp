// Extracting and cutting the text between two markers of a CTextBuffer.
//
// A span runs from the first begin marker through the next end marker after
// it; every operation searches from the start of the text.
#include <algorithm>
#include <cstring>
#include <string>

#include "foundation/text/text_buffer.h"
#include "foundation/text/text_encodings.h"

bool CTextBuffer::FindSpan(const char* begin, const char* end, bool ignoreCase,
                           std::int32_t& spanStart, std::int32_t& innerStart,
                           std::int32_t& innerEnd, std::int32_t& spanEnd) const
{
    if (begin == nullptr || end == nullptr) return false;
    const std::string_view beginMarker(begin);
    const std::string_view endMarker(end);
    const std::int32_t at = FindFrom(beginMarker, 0, ignoreCase);
    if (at < 0) return false;
    const auto inner = static_cast<std::int32_t>(at + beginMarker.size());
    const std::int32_t close = FindFrom(endMarker, inner, ignoreCase);
    if (close < 0) return false;
    spanStart = at;
    innerStart = inner;
    innerEnd = close;
    spanEnd = static_cast<std::int32_t>(close + endMarker.size());
    return true;
}

namespace {

struct Span {
    std::int32_t start = 0, innerStart = 0, innerEnd = 0, end = 0;
    std::string_view Inner(const CTextBuffer& text) const { return text.View().substr(innerStart, innerEnd - innerStart); }
    std::string_view Whole(const CTextBuffer& text) const { return text.View().substr(start, end - start); }
};

}  // namespace

// Extracting ------------------------------------------------------------------------

bool CTextBuffer::ExtractBetween(const char* begin, const char* end, CTextBuffer& out) const
{
    Span s;
    if (!FindSpan(begin, end, false, s.start, s.innerStart, s.innerEnd, s.end)) {
        out.Clear();
        return false;
    }
    out.Assign(s.Inner(*this));
    return true;
}

bool CTextBuffer::ExtractBetween(const char* begin, const char* end, CFixedString255& out) const
{
    Span s;
    out.Assign("");
    if (!FindSpan(begin, end, false, s.start, s.innerStart, s.innerEnd, s.end)) return false;
    out.AssignView(s.Inner(*this));
    return true;
}

bool CTextBuffer::ExtractBetweenNoCase(const char* begin, const char* end, CTextBuffer& out) const
{
    Span s;
    if (!FindSpan(begin, end, true, s.start, s.innerStart, s.innerEnd, s.end)) {
        out.Clear();
        return false;
    }
    out.Assign(s.Inner(*this));
    return true;
}

bool CTextBuffer::ExtractBetweenNoCase(const char* begin, const char* end, CFixedString255& out) const
{
    Span s;
    out.Assign("");
    if (!FindSpan(begin, end, true, s.start, s.innerStart, s.innerEnd, s.end)) return false;
    out.AssignView(s.Inner(*this));
    return true;
}

bool CTextBuffer::ExtractSpanNoCase(const char* begin, const char* end, CTextBuffer& out) const
{
    Span s;
    if (!FindSpan(begin, end, true, s.start, s.innerStart, s.innerEnd, s.end)) {
        out.Clear();
        return false;
    }
    out.Assign(s.Whole(*this));
    return true;
}

// Cutting ------------------------------------------------------------------------------
// The inner text is copied before the text changes, so `out` may be this
// buffer itself.

bool CTextBuffer::CutSpan(const char* begin, const char* end, bool ignoreCase, bool innerOnly, std::string& inner)
{
    inner.clear();
    Span s;
    if (!FindSpan(begin, end, ignoreCase, s.start, s.innerStart, s.innerEnd, s.end)) return false;
    inner.assign(s.Inner(*this));
    if (innerOnly) ReplaceSpan(s.innerStart, s.innerEnd - s.innerStart, {});
    else ReplaceSpan(s.start, s.end - s.start, {});
    return true;
}

bool CTextBuffer::CutBetween(const char* begin, const char* end, CTextBuffer& out)
{
    std::string inner;
    bool found = CutSpan(begin, end, false, false, inner);
    out.Assign(inner);
    return found;
}

bool CTextBuffer::CutBetween(const char* begin, const char* end, CFixedString255& out)
{
    std::string inner;
    bool found = CutSpan(begin, end, false, false, inner);
    out.AssignView(inner);
    return found;
}

bool CTextBuffer::CutBetweenNoCase(const char* begin, const char* end, CTextBuffer& out)
{
    std::string inner;
    bool found = CutSpan(begin, end, true, false, inner);
    out.Assign(inner);
    return found;
}

bool CTextBuffer::CutBetweenNoCase(const char* begin, const char* end, CFixedString255& out)
{
    std::string inner;
    bool found = CutSpan(begin, end, true, false, inner);
    out.AssignView(inner);
    return found;
}

bool CTextBuffer::CutInnerNoCase(const char* begin, const char* end, CTextBuffer& out)
{
    std::string inner;
    bool found = CutSpan(begin, end, true, true, inner);
    out.Assign(inner);
    return found;
}

// Deleting and replacing ----------------------------------------------------------------

bool CTextBuffer::DeleteSpan(const char* begin, const char* end)
{
    Span s;
    if (!FindSpan(begin, end, false, s.start, s.innerStart, s.innerEnd, s.end)) return false;
    ReplaceSpan(s.start, s.end - s.start, {});
    return true;
}

bool CTextBuffer::DeleteSpanNoCase(const char* begin, const char* end)
{
    Span s;
    if (!FindSpan(begin, end, true, s.start, s.innerStart, s.innerEnd, s.end)) return false;
    ReplaceSpan(s.start, s.end - s.start, {});
    return true;
}

bool CTextBuffer::DeleteInnerNoCase(const char* begin, const char* end)
{
    Span s;
    if (!FindSpan(begin, end, true, s.start, s.innerStart, s.innerEnd, s.end)) return false;
    ReplaceSpan(s.innerStart, s.innerEnd - s.innerStart, {});
    return true;
}

bool CTextBuffer::ReplaceInnerNoCase(const char* begin, const char* end, const char* replacement)
{
    Span s;
    if (replacement == nullptr) return false;
    if (!FindSpan(begin, end, true, s.start, s.innerStart, s.innerEnd, s.end)) return false;
    return ReplaceSpan(s.innerStart, s.innerEnd - s.innerStart, replacement);
}

// One pass over the region: kept pieces move left over the removed spans, and
// the rest of the text moves once at the end. A begin marker that the joining
// of two kept pieces forms is removed too, as a search from the start of the
// edited region would find it.
bool CTextBuffer::DeleteAllBetweenInRegion(const char* spanBegin, const char* spanEnd,
                                           const char* regionBegin, const char* regionEnd)
{
    Span region;
    if (spanBegin == nullptr || spanEnd == nullptr || *spanBegin == '\0' || *spanEnd == '\0') return false;
    if (!FindSpan(regionBegin, regionEnd, false, region.start, region.innerStart, region.innerEnd, region.end))
        return false;

    const std::string_view open(spanBegin);
    const std::string_view close(spanEnd);
    const auto limit = static_cast<std::size_t>(region.innerEnd);
    const std::string_view text(mData, limit);
    auto write = static_cast<std::size_t>(region.innerStart);  // end of the kept text
    auto read = write;                                           // start of the unread text
    std::string seam;

    while (true) {
        std::size_t openWrite = std::string_view::npos;  // where a span starts in the kept text
        std::size_t afterOpen = 0;                        // where its begin marker ends in the unread text
        if (write != read) {
            // A begin marker may straddle the seam between kept and unread text.
            const std::size_t keptTail = std::min(open.size() - 1, write - static_cast<std::size_t>(region.innerStart));
            const std::size_t unreadHead = std::min(open.size() - 1, limit - read);
            seam.assign(mData + write - keptTail, keptTail);
            seam.append(mData + read, unreadHead);
            const std::size_t at = FindTextNoCase(seam, open);
            if (at != std::string_view::npos && at < keptTail) {
                openWrite = write - keptTail + at;
                afterOpen = read + (open.size() - (keptTail - at));
            }
        }
        if (openWrite == std::string_view::npos) {
            const std::size_t at = FindTextNoCase(text, open, read);
            if (at == std::string_view::npos) break;
            const std::size_t kept = at - read;
            if (write != read) std::memmove(mData + write, mData + read, kept);
            openWrite = write + kept;
            afterOpen = at + open.size();
        }
        const std::size_t closeAt = FindTextNoCase(text, close, afterOpen);
        if (closeAt == std::string_view::npos) {
            // No end marker: the span stays, so the kept text runs to where it began.
            if (openWrite < write) break;
            read = read + (openWrite - write);
            write = openWrite;
            break;
        }
        write = openWrite;
        read = closeAt + close.size();
    }

    if (write != read) {
        const std::size_t rest = static_cast<std::size_t>(mLength) - read + 1;  // with the NUL
        std::memmove(mData + write, mData + read, rest);
        mLength = static_cast<std::int32_t>(mLength - (read - write));
    }
    return true;
}
