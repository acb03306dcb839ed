#include "foundation/system/front_browser_page.h"

#include <string_view>

#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

ClipboardTextReader& Reader()
{
    static ClipboardTextReader reader;
    return reader;
}

bool IsWebURL(std::string_view text)
{
    std::size_t schemeLength = BeginsWithNoCase(text, "http://")    ? 7
                               : BeginsWithNoCase(text, "https://") ? 8
                                                                    : 0;
    if (schemeLength == 0 || text.size() == schemeLength) return false;
    for (unsigned char c : text)
        if (c <= 0x20 || c == 0x7F) return false;
    return true;
}

}  // namespace

void SetClipboardTextReader(ClipboardTextReader reader)
{
    Reader() = std::move(reader);
}

void GetFrontBrowserPage(CFixedString255& url, CFixedString255&)
{
    std::string text;
    if (!Reader() || !Reader()(text)) return;
    std::string_view candidate(text);
    while (!candidate.empty() && IsAsciiSpace(static_cast<unsigned char>(candidate.front())))
        candidate.remove_prefix(1);
    while (!candidate.empty() && IsAsciiSpace(static_cast<unsigned char>(candidate.back())))
        candidate.remove_suffix(1);
    if (!IsWebURL(candidate) || candidate.size() > CFixedString255::kCapacity) return;
    url = CFixedString255(candidate);
}
