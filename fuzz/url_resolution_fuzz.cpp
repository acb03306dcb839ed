// Resolving a page's link against the page's address. Input: the base
// address, a newline, the link.
#include "engine/url/url_resolution.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"

namespace {

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Every byte a request line cannot carry as it is comes escaped.
void CheckRequestSafe(std::string_view url)
{
    for (std::size_t i = 0; i < url.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(url[i]);
        FUZZ_CHECK(c > 0x20 && c < 0x7F);
        FUZZ_CHECK(std::string_view("\"<>\\^`{|}#").find(static_cast<char>(c)) == std::string_view::npos);
        if (c == '%') FUZZ_CHECK(i + 2 < url.size() && IsHex(url[i + 1]) && IsHex(url[i + 2]));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::vector<std::string_view> parts = SplitFuzzInput(FuzzText(data, size), 2);
    const std::string_view link = parts[1];
    // A page's address came out of the resolver itself, so it is clean.
    std::string base;
    if (!ResolveRelativeURL(parts[0], parts[0], base)) base.assign(parts[0]);

    std::string resolved;
    const bool fetchable = ResolveRelativeURL(base, link, resolved);
    FUZZ_CHECK(fetchable == IsFetchableURL(resolved));

    // The resolver that splits the base once agrees with the one-off call.
    std::string again;
    FUZZ_CHECK(CURLResolver(base).Resolve(link, again) == fetchable && again == resolved);

    if (fetchable) {
        CheckRequestSafe(resolved);
        // A resolved address is final: resolving it again gives itself.
        std::string twice;
        FUZZ_CHECK(ResolveRelativeURL(base, resolved, twice) && twice == resolved);
    }

    const std::string once = RemoveDotSegments(link);
    FUZZ_CHECK(RemoveDotSegments(once) == once);
    (void)ResolveReference(base, link, true);
    return 0;
}
