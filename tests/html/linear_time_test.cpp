// Hostile pages must be read and rewritten in linear time: every pass over a
// page is linear, whatever the page holds. Measured as the growth from a
// 256 KB page to a 4 MB one (sixteen times the bytes), never as a time.
#include <gtest/gtest.h>

#include "engine/html/html_page.h"
#include "engine/html/link_rewriter.h"
#include "engine/html/page_cleanup.h"
#include "engine/url/url_record.h"
#include "recording_page_context.h"
#include "tests/support/growth_ratio.h"

namespace {

constexpr std::size_t kSmallPage = 64u << 10;
constexpr std::size_t kLargePage = 4u << 20;

std::string Repeated(std::size_t size, std::string_view piece, std::string_view tail = {})
{
    std::string page;
    page.reserve(size + piece.size() + tail.size());
    while (page.size() < size) page += piece;
    page += tail;
    return page;
}

void Process(const std::string& body)
{
    CRecordingPageContext context;
    context.mConfiguration.mMiscOptions.extractEmailAddresses = 1;
    context.mConfiguration.mGeneralOptions.useServerContentType = 1;
    CURL fetched("http://h/a/b/page.html");
    EXPECT_TRUE(fetched.mBody.AppendBytes(body.data(), body.size()));
    fetched.mContentType = "text/html";
    CHTMLPage page(context.mConfiguration.mDelimiters, fetched, false, &context);
    std::string text = body;
    RemoveJavaScript(text);
    std::string out;
    RewriteLinks(text, [&page](const CLinkOccurrence& occurrence, std::string& replacement) {
        if (!page.FindLinkURL(occurrence.link)) return ERewrite::kKeep;
        replacement = "local.html";
        return ERewrite::kReplace;
    }, out);
}

struct Shape {
    std::string_view name;
    std::string_view piece;
    std::string_view tail = {};
};

// One shape per test, so the shapes (each some hundred megabytes of work
// under the sanitizers) run side by side.
class LinearTime : public testing::TestWithParam<Shape> {};

TEST_P(LinearTime, HostilePagesStayLinear)
{
    const Shape& shape = GetParam();
    const std::string small = Repeated(kSmallPage, shape.piece, shape.tail);
    const std::string large = Repeated(kLargePage, shape.piece, shape.tail);
    auto job = [&](std::size_t size) { Process(size == kSmallPage ? small : large); };
    // Linear work grows about sixty-four times (up to ten times more once
    // the large page outgrows the caches of a busy machine); a quadratic
    // pass, some four thousand times.
    EXPECT_LT(testsupport::GrowthRatio(job, kSmallPage, kLargePage), 1600.0) << shape.piece;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, LinearTime,
    testing::Values(Shape{"EndlessDottedLine", "a.", "a\""},
                    Shape{"DottedLinkBetweenQuotes", "a.b\""},
                    Shape{"MailLinksWithoutAnchorEnd", "\"mailto:x@y.com\">"},
                    Shape{"MailAnchors", "<a href=\"mailto:x@y.com\">"},
                    Shape{"ParenthesesNeverClosed", "("},
                    Shape{"ParenthesesClosedAtTheEnd", "(", ")"},
                    Shape{"Quotes", "\"", "x"},
                    Shape{"SingleQuotes", "'a"},
                    Shape{"AttributeWithoutValue", "href="},
                    Shape{"AttributeValueNeverEnds", "HREF=\"x"},
                    Shape{"BareAttributeValues", "src=x "},
                    Shape{"TagsNeverClosed", "<a "},
                    Shape{"AnchorsNeverClosed", "<a href=\"x.html\" "},
                    Shape{"BaseElements", "<head><base href=\"http://b/\">", "</head>"},
                    Shape{"ScriptsNeverClosed", "<body><script>", "</body>"},
                    Shape{"Entities", "&amp;"},
                    Shape{"StyleReferencesNeverEnd", "url("},
                    Shape{"StyleReferenceNamesNeverEnd", "url(a"},
                    Shape{"SpacedStyleReferences", "url( a "},
                    Shape{"QuotedStyleReferences", "url(\"a"},
                    Shape{"SingleQuotedStyleReferences", "url('a", "'"},
                    Shape{"ImportsNeverEnd", "@import \"a"},
                    Shape{"SpacedAttributesNeverEnd", "href = \""},
                    Shape{"SpacedAttributesWithoutValue", "href =   "},
                    Shape{"PictureSetsNeverEnd", "srcset=\"a 1x,"},
                    Shape{"PictureSetsClosedAtTheEnd", "srcset= ", "\""},
                    Shape{"OrdinaryLinks", "<a href=\"p.html\">p</a> <img src=\"i.gif\"> "}),
    [](const testing::TestParamInfo<Shape>& info) { return std::string(info.param.name); });

}  // namespace
