#include "engine/crawl/meta_refresh.h"

#include "foundation/text/text_encodings.h"

namespace {

// Whether the element starting at the text's front is a refresh element.
bool IsRefreshElement(std::string_view element)
{
    static constexpr std::string_view kPlain = "<META HTTP-EQUIV=REFRESH";
    static constexpr std::string_view kQuoted = "<META HTTP-EQUIV=\"REFRESH\"";
    auto startsWith = [element](std::string_view marker) {
        return element.size() >= marker.size() &&
               CompareTextNoCase(element.data(), marker.data(), marker.size()) == 0;
    };
    return startsWith(kPlain) || startsWith(kQuoted);
}

}  // namespace

// One forward pass over the page's "<meta" elements; the first that is a
// refresh element gives the target.
std::string MetaRefreshTarget(std::string_view body)
{
    std::string_view element;
    for (std::size_t at = FindTextNoCase(body, "<meta"); at != std::string_view::npos;
         at = FindTextNoCase(body, "<meta", at + 5)) {
        // The element's end is looked for only once it is the one: a page of
        // "<meta" without '>' must not be searched to its end for each.
        if (!IsRefreshElement(body.substr(at))) continue;
        const std::size_t close = body.find('>', at);
        element = body.substr(at, close == std::string_view::npos ? body.size() - at : close - at);
        break;
    }
    if (element.empty()) return {};
    const std::size_t url = FindTextNoCase(element, "URL=");
    if (url == std::string_view::npos) return {};
    std::string_view target = element.substr(url + 4);
    target = target.substr(0, target.find_first_of("\"'"));
    while (!target.empty() && IsAsciiSpace(static_cast<unsigned char>(target.back()))) target.remove_suffix(1);
    while (!target.empty() && IsAsciiSpace(static_cast<unsigned char>(target.front()))) target.remove_prefix(1);
    return std::string(target);
}
