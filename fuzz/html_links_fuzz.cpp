// Link extraction and rewriting over a downloaded page.
#include <string>
#include <vector>

#include "engine/html/delimited_links.h"
#include "engine/html/link_rewriter.h"
#include "engine/html/link_text.h"
#include "engine/html/style_links.h"
#include "fuzz/fuzz_check.h"

namespace {

bool IsWithin(std::string_view outer, std::string_view inner)
{
    return inner.data() >= outer.data() && inner.data() + inner.size() <= outer.data() + outer.size();
}

// Rewrites every other offer to "<n>" and rebuilds the expected page from the
// offers themselves: every byte outside a replaced link must come through.
void CheckRewrite(std::string_view page)
{
    std::string expected;
    std::size_t copied = 0, previousOffset = 0, offers = 0, replaced = 0;
    auto callback = [&](const CLinkOccurrence& occurrence, std::string& replacement) {
        FUZZ_CHECK(IsWithin(page, occurrence.link));
        FUZZ_CHECK(occurrence.offset == static_cast<std::size_t>(occurrence.link.data() - page.data()));
        FUZZ_CHECK(!occurrence.link.empty() && occurrence.offset >= previousOffset);
        previousOffset = occurrence.offset;
        (void)IsMarkupLink(page, occurrence);
        if (offers++ % 2 == 1 || occurrence.offset < copied) return ERewrite::kKeep;
        replacement = "<" + std::to_string(offers) + ">";
        expected.append(page.substr(copied, occurrence.offset - copied)).append(replacement);
        copied = occurrence.offset + occurrence.link.size();
        ++replaced;
        return ERewrite::kReplace;
    };
    std::string out;
    CRewriteResult result = RewriteLinks(page, callback, out);
    expected.append(page.substr(copied));
    FUZZ_CHECK(out == expected);
    FUZZ_CHECK(result.replaced == replaced && !result.stopped);

    std::string kept;
    FUZZ_CHECK(RewriteLinks(page, [](const CLinkOccurrence&, std::string&) { return ERewrite::kKeep; }, kept).replaced == 0);
    FUZZ_CHECK(kept == page);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string_view page = FuzzText(data, size);
    CheckRewrite(page);

    std::vector<std::string> links;
    ExtractDelimitedLinks(page, DefaultDelimiterPairs(), links);
    std::string scratch;
    for (const std::string& link : links) {
        const std::string_view normal = NormalizeLinkText(link, scratch);
        for (char c : normal) FUZZ_CHECK(static_cast<unsigned char>(c) > 0x20 && static_cast<unsigned char>(c) < 0x7F);
        std::string again;
        const std::string copy(normal);
        FUZZ_CHECK(NormalizeLinkText(copy, again) == copy);
        std::string absolute;
        (void)ResolvePageLink(copy, "http://example.test/dir/page.html", absolute);
        (void)ClassifyLink(copy);
    }

    std::vector<std::string_view> styleLinks;
    CollectStyleLinks(page, styleLinks);
    for (std::string_view link : styleLinks) {
        FUZZ_CHECK(IsWithin(page, link));
        (void)IsStyleLinkAt(page, static_cast<std::size_t>(link.data() - page.data()));
    }

    std::string withoutAnchors(page);
    RemoveAnchorHrefs(withoutAnchors);
    FUZZ_CHECK(withoutAnchors.size() <= page.size());
    return 0;
}
