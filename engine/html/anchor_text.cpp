#include "engine/html/anchor_text.h"

#include <cstring>

#include "foundation/text/text_encodings.h"

CForwardFinder::CForwardFinder(std::string_view text, std::string_view needle, std::string_view anyOf)
    : mText(text), mNeedle(needle)
{
    for (char c : anyOf) mInSet[static_cast<unsigned char>(c)] = true;
    if (anyOf.size() == 1) mOnlyChar = static_cast<unsigned char>(anyOf.front());
}

std::size_t CForwardFinder::NextFrom(std::size_t from)
{
    // The last answer holds for every `from` between the start of that
    // search and the occurrence it found.
    if (mSearched && from >= mSearchedFrom && (mFoundAt == std::string_view::npos || from <= mFoundAt))
        return mFoundAt;
    mSearched = true;
    mSearchedFrom = from;
    if (from >= mText.size()) mFoundAt = std::string_view::npos;
    else if (!mNeedle.empty()) mFoundAt = FindTextNoCase(mText, mNeedle, from);
    else if (mOnlyChar >= 0) {
        const void* hit = std::memchr(mText.data() + from, mOnlyChar, mText.size() - from);
        mFoundAt = hit == nullptr ? std::string_view::npos : static_cast<const char*>(hit) - mText.data();
    } else {
        const auto* bytes = reinterpret_cast<const unsigned char*>(mText.data());
        std::size_t at = from;
        while (at < mText.size() && !mInSet[bytes[at]]) ++at;
        mFoundAt = at < mText.size() ? at : std::string_view::npos;
    }
    return mFoundAt;
}

CAnchorFinders::CAnchorFinders(std::string_view text)
    : mText(text), mAngles(text, {}, "<>"), mAnchorEnds(text, "</a>")
{
}

std::string CAnchorFinders::AnchorTextAfter(std::size_t linkEnd)
{
    std::size_t angle = mAngles.NextFrom(linkEnd);
    if (angle == std::string_view::npos || mText[angle] != '>') return {};
    std::size_t start = angle + 1;
    std::size_t end = mAnchorEnds.NextFrom(start);
    if (end == std::string_view::npos) return {};
    return std::string(CutUTF8(mText.substr(start, end - start), kAnchorTextLimit));
}

std::string_view CutUTF8(std::string_view text, std::size_t limit)
{
    if (text.size() <= limit) return text;
    std::size_t cut = limit;
    // Step back over continuation bytes to the start of the cut character.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut);
}
