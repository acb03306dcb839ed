#include "engine/html/link_text.h"

#include <cstdint>
#include <cstring>

#include "engine/url/url_parts.h"
#include "engine/url/url_resolution.h"
#include "foundation/text/ascii.h"
#include "foundation/text/ascii_words.h"
#include "foundation/text/text_encodings.h"

namespace {

constexpr char kLowerHex[] = "0123456789abcdef";

// Where the URL record looks for the path: after the authority, or the
// whole text without one.
std::string_view AfterAuthority(std::string_view url)
{
    const std::size_t end = AuthorityEnd(url);
    return end == std::string_view::npos ? url : url.substr(end);
}

}  // namespace

std::string_view NormalizeLinkText(std::string_view raw, std::string& scratch)
{
    // Most links need nothing: no blank, control char or byte above 0x7E.
    const auto* bytes = reinterpret_cast<const unsigned char*>(raw.data());
    std::size_t i = 0;
    for (std::uint64_t word; i + 8 <= raw.size(); i += 8) {
        std::memcpy(&word, bytes + i, 8);
        if (!AllVisibleAscii(word)) break;
    }
    while (i < raw.size() && bytes[i] > 0x20 && bytes[i] < 0x7F) ++i;
    if (i == raw.size() && !raw.empty()) return raw;

    scratch.clear();
    scratch.reserve(raw.size() + 8);
    bool pendingBlank = false;
    for (char ch : raw) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x80 && !IsAsciiPrint(c)) c = ' ';
        if (c == ' ') {
            pendingBlank = !scratch.empty();
            continue;
        }
        if (pendingBlank) {
            scratch += "%20";
            pendingBlank = false;
        }
        if (NeedsPercentEscape(c)) {
            scratch += '%';
            scratch += kLowerHex[c >> 4];
            scratch += kLowerHex[c & 0x0F];
        } else {
            scratch += static_cast<char>(c);
        }
    }
    return scratch;
}

ELinkKind ClassifyLink(std::string_view link)
{
    if (link.empty()) return ELinkKind::kEmpty;
    if (link.front() == '#') return ELinkKind::kFragment;
    std::string_view scheme;
    if (!HasURIScheme(link, &scheme)) return ELinkKind::kWeb;
    if (BeginsWithNoCase(scheme, "mailto") && scheme.size() == 6) return ELinkKind::kMailto;
    return IsFetchableScheme(scheme) ? ELinkKind::kWeb : ELinkKind::kNotFetched;
}

bool ResolvePageLink(std::string_view normalizedLink, std::string_view pageURL, std::string& absoluteURL)
{
    return ResolvePageLink(normalizedLink, CURLResolver(pageURL), absoluteURL);
}

bool ResolvePageLink(std::string_view normalizedLink, const CURLResolver& page, std::string& absoluteURL)
{
    if (normalizedLink.find('&') == std::string_view::npos) return page.Resolve(normalizedLink, absoluteURL);
    return page.Resolve(DecodeEntities(normalizedLink), absoluteURL);
}

bool URLIsDynamic(std::string_view url)
{
    std::string_view rest = AfterAuthority(url);
    return !PartAfter(rest, '$', '?', '#').empty() || !PartAfter(rest, '?', '$', '#').empty();
}

std::string_view URLFileName(std::string_view url)
{
    std::string_view rest = AfterAuthority(url);
    if (rest.empty() || rest.front() != '/') return {};
    std::string_view file = CutAtLast(CutAtLast(CutAtLast(rest, '$'), '?'), '#');
    return file.substr(file.rfind('/') + 1);
}

std::string_view MailtoAddress(std::string_view link)
{
    std::string_view address = link.size() > 7 ? link.substr(7) : std::string_view();
    return address.substr(0, address.find('?'));
}
