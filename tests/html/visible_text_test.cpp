#include "engine/html/visible_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Each page marks the places asked about with "@N": whether that place is
// text a reader sees. Places are asked in order, as the rewriter does.
struct Case {
    const char* page;
    std::vector<bool> inText;  // for @0, @1, ...
};

TEST(VisibleTextSpans, TellsTextFromMarkup)
{
    const Case cases[] = {
        {R"(<p>trailing "@0"</p><a href="@1">x</a> "@2")", {true, false, true}},
        {R"(<script>var a = "@0"; if (a < b) f("@1");</script>(@2))", {false, false, true}},
        {R"(<SCRIPT type="x">"@0"</SCRIPT ><STYLE>url(@1)</style>"@2")", {false, false, true}},
        {R"(<!-- "@0" <a href="x"> --> "@1" <p title='@2'>)", {false, true, false}},
        {R"(a < b "@0" a <b "@1">)", {true, false}},
        {R"(<scripts>"@0"</scripts>"@1"<script)", {true, true}},
        {R"(<script>"@0")", {false}},
        {R"(plain "@0" text)", {true}},
        {R"(<p>a <b href="@0"> &lt;a href="@1"&gt; <img src='@2' alt="x > y" title="@3">)", {false, true, false, true}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.page);
        const std::string page = test.page;
        CVisibleTextSpans spans(page);
        for (std::size_t i = 0; i < test.inText.size(); ++i) {
            const std::size_t at = page.find("@" + std::to_string(i));
            ASSERT_NE(at, std::string::npos);
            EXPECT_EQ(spans.InText(at), test.inText[i]) << "@" << i;
            // The quick look never takes text for a tag.
            if (test.inText[i]) {
                EXPECT_FALSE(IsPlainlyInStartTag(page, at)) << "@" << i;
            }
        }
    }
}

}  // namespace
