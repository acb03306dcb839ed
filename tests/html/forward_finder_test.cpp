// The forward finder answers "next occurrence at or after" for positions
// that never decrease, however it searches (memchr for one char, a set
// table for several, a case-blind search for a needle) and however long it
// keeps an answer.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "engine/html/anchor_text.h"
#include "foundation/text/text_encodings.h"

namespace {

std::size_t Expected(std::string_view text, std::string_view needle, std::string_view anyOf, std::size_t from)
{
    if (!needle.empty()) return FindTextNoCase(text, needle, from);
    for (std::size_t at = from; at < text.size(); ++at)
        if (anyOf.find(text[at]) != std::string_view::npos) return at;
    return std::string_view::npos;
}

TEST(ForwardFinder, FindsTheNextOccurrenceFromEveryPosition)
{
    const std::string page = "<p class=\"a\">x &lt; y</p><!-- c --><script>if (a<b) {}</SCRIPT>\n<a\thref=z>t</a>";
    const struct {
        std::string_view needle, anyOf;
    } cases[] = {
        {{}, "<"}, {{}, ">"}, {{}, "<>"}, {{}, " \t\n\v\f\r>"}, {{}, "#"}, {{}, {}},
        {"-->", {}}, {"</script", {}}, {"</a>", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.needle) + "|" + std::string(c.anyOf));
        for (std::size_t step : {1u, 3u, 7u}) {
            CForwardFinder finder(page, c.needle, c.anyOf);
            for (std::size_t from = 0; from <= page.size() + 1; from += step)
                EXPECT_EQ(finder.NextFrom(from), Expected(page, c.needle, c.anyOf, from)) << "from " << from;
        }
    }
}

}  // namespace
