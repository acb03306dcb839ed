// The text of the anchor that a harvested "mailto:" link stands in.
//
// It is found from the link's own position, never by searching the page for
// the link text, and with finders that only move forward, so a page full of
// mail links is still read once.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

inline constexpr std::size_t kAnchorTextLimit = 255;

// Answers "where is the next occurrence at or after `from`" for positions
// that never decrease, remembering the last answer instead of searching
// again.
class CForwardFinder {
public:
    // `needle` is matched ignoring ASCII case; any one char of `anyOf` is
    // matched when `needle` is empty.
    CForwardFinder(std::string_view text, std::string_view needle, std::string_view anyOf = {});
    [[nodiscard]] std::size_t NextFrom(std::size_t from);

private:
    std::string_view mText;
    std::string_view mNeedle;
    bool mInSet[256] = {};
    int mOnlyChar = -1;  // a set of one char is found with memchr, a word at a time
    std::size_t mFoundAt = 0;
    std::size_t mSearchedFrom = 0;
    bool mSearched = false;
};

// What a page's mail links need: the next "</a>" and the next '<' or '>'.
class CAnchorFinders {
public:
    explicit CAnchorFinders(std::string_view text);
    // The anchor text of a link that ends at `linkEnd`: from the '>' that
    // closes the link's tag (the next '>' with no '<' before it) to the next
    // "</a>" (ignoring case); empty without both. Cut to kAnchorTextLimit
    // bytes without splitting a UTF-8 character.
    std::string AnchorTextAfter(std::size_t linkEnd);

private:
    std::string_view mText;
    CForwardFinder mAngles;
    CForwardFinder mAnchorEnds;
};


// The finders of one text, made on the first mail link met in it.
class CAnchorSource {
public:
    explicit CAnchorSource(std::string_view text) : mText(text) {}
    std::string AnchorTextAfter(std::size_t linkEnd)
    {
        if (!mFinders) mFinders = std::make_unique<CAnchorFinders>(mText);
        return mFinders->AnchorTextAfter(linkEnd);
    }

private:
    std::string_view mText;
    std::unique_ptr<CAnchorFinders> mFinders;
};

// `text` cut to at most `limit` bytes, never inside a UTF-8 character.
std::string_view CutUTF8(std::string_view text, std::size_t limit);
