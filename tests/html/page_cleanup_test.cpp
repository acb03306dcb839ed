#include "engine/html/page_cleanup.h"

#include <gtest/gtest.h>

#include "foundation/text/text_buffer.h"

namespace {

TEST(PageCleanup, RemovesTheScriptsOfTheBodyOnly)
{
    const struct {
        const char* page;
        const char* expected;
    } cases[] = {
        {"<head><script src=\"a.js\"></script></head><body>x<script>go()</script>y<SCRIPT>z</SCRIPT></body>",
         "<head><script src=\"a.js\"></script></head><body>xy</body>"},
        // Scripts only in the head stay.
        {"<head><script>keep()</script></head><body>text</body>", "<head><script>keep()</script></head><body>text</body>"},
        // An unclosed script ends nothing.
        {"<body>a<script>b</body>", "<body>a<script>b</body>"},
    };
    for (const auto& c : cases) {
        std::string text = c.page;
        EXPECT_TRUE(RemoveJavaScript(text));
        EXPECT_EQ(text, c.expected) << c.page;
        CTextBuffer buffer(c.page);
        EXPECT_TRUE(RemoveJavaScript(buffer));
        EXPECT_EQ(buffer.View(), c.expected);
    }
    std::string bodiless = "<script>x</script>";
    EXPECT_FALSE(RemoveJavaScript(bodiless));
    EXPECT_EQ(bodiless, "<script>x</script>");
}

}  // namespace
