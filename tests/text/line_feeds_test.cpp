// Line ends for the log: CR LF pairs and lone CRs become one LF, also when a
// pair is split between two pieces.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/text/line_feeds.h"

namespace {

TEST(LineFeeds, EachLineEndsInOneLineFeedWhateverThePieces)
{
    struct Case {
        std::vector<std::string> pieces;
        std::string expected;
    };
    const Case cases[] = {
        {{"plain text"}, "plain text"},
        {{"a\r\nb\rc\nd"}, "a\nb\nc\nd"},
        {{"a\r", "\nb"}, "a\nb"},
        {{"a\r", "", "\nb"}, "a\nb"},
        {{"a\r", "b"}, "a\nb"},
        {{"a\r", "\r", "\n"}, "a\n\n"},
        {{"\r\r\n\n"}, "\n\n\n"},
        {{"\n", "\r"}, "\n\n"},
        {{""}, ""},
    };
    for (const Case& c : cases) {
        bool afterReturn = false;
        std::string appended;
        std::string joined;
        bool joinedAfterReturn = false;
        for (const std::string& piece : c.pieces) {
            AppendWithLineFeeds(appended, piece, afterReturn);
            joined += WithLineFeeds(piece, joinedAfterReturn);
        }
        EXPECT_EQ(appended, c.expected) << ::testing::PrintToString(c.pieces);
        EXPECT_EQ(joined, c.expected) << ::testing::PrintToString(c.pieces);
    }
}

}  // namespace
