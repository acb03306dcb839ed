#include "engine/html/head_edits.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "engine/config/configuration.h"
#include "engine/html/delimited_links.h"
#include "engine/html/dotted_links.h"
#include "engine/html/link_rewriter.h"
#include "engine/html/link_text.h"
#include "engine/html/page_context.h"
#include "engine/html/text_hash.h"
#include "engine/url/url_resolution.h"
#include "foundation/text/text_encodings.h"

namespace {

constexpr std::size_t kNone = std::string_view::npos;
constexpr std::string_view kMetaStart = "<meta http-equiv=\"Content-Type\" content=\"";
constexpr std::string_view kBaseStart = "<base href=";
constexpr int kEntriesPerStatus = 50;

std::string EscapedAttributeText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '"': out += "&quot;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '\r':
        case '\n': break;
        default: out += c;
        }
    }
    return out;
}

int YieldQuantum(const CPageContext* context)
{
    return context ? std::max(1, context->Configuration().mGeneralOptions.yieldQuantum) : 1;
}

}  // namespace

bool FindHead(std::string_view text, CHeadRange& head)
{
    for (std::size_t at = FindTextNoCase(text, "<head"); at != kNone; at = FindTextNoCase(text, "<head", at + 1)) {
        std::size_t after = at + 5;
        if (after >= text.size()) return false;
        if (text[after] != '>' && !IsAsciiSpace(text[after])) continue;  // "<header>" is another element
        std::size_t close = text.find('>', after);
        if (close == kNone) return false;
        std::size_t end = FindTextNoCase(text, "</head>", close + 1);
        if (end == kNone) return false;
        head.innerStart = close + 1;
        head.innerEnd = end;
        return true;
    }
    return false;
}

bool InsertContentTypeMeta(std::string& text, std::string_view contentType)
{
    CHeadRange head;
    if (contentType.empty() || !FindHead(text, head)) return false;
    std::string tag(kMetaStart);
    tag += EscapedAttributeText(contentType);
    tag += "\">";

    std::string_view inner = std::string_view(text).substr(head.innerStart, head.innerEnd - head.innerStart);
    std::size_t meta = FindTextNoCase(inner, kMetaStart);
    if (meta == kNone) {
        text.insert(head.innerEnd, "\r" + tag + "\r");
        return true;
    }
    std::size_t close = inner.find("\">", meta + kMetaStart.size());
    if (close == kNone) return false;
    text.replace(head.innerStart + meta, close + 2 - meta, tag);
    return true;
}

bool FindBaseHref(std::string_view text, std::string_view pageURL, CBaseHref& base)
{
    CHeadRange head;
    if (!FindHead(text, head)) return false;
    std::string_view inner = text.substr(0, head.innerEnd);
    std::size_t element = FindTextNoCase(inner, kBaseStart, head.innerStart);
    if (element == kNone) return false;
    std::size_t value = element + kBaseStart.size();
    std::size_t valueEnd;
    if (value < inner.size() && (inner[value] == '"' || inner[value] == '\'')) {
        valueEnd = inner.find(inner[value], value + 1);
        if (valueEnd == kNone) return false;
        ++value;
    } else {
        valueEnd = value;
        while (valueEnd < inner.size() && !IsAsciiSpace(inner[valueEnd]) && inner[valueEnd] != '>') ++valueEnd;
    }
    if (valueEnd == value) return false;
    std::string url;
    if (!ResolveRelativeURL(pageURL, inner.substr(value, valueEnd - value), url)) return false;
    base.elementStart = element;
    base.valueStart = value;
    base.valueEnd = valueEnd;
    base.url = std::move(url);
    return true;
}

bool ApplyBaseHref(std::string& text, const CBaseHref& base, CPageContext* context)
{
    text.erase(base.valueStart, base.valueEnd - base.valueStart);
    text.replace(base.elementStart, 5, "<bc");

    std::vector<std::string_view> dotted;
    CollectDottedLinks(text, dotted, nullptr, false);
    std::vector<std::string> links(dotted.begin(), dotted.end());
    ExtractDelimitedLinks(text, DefaultDelimiterPairs(), links);

    // Link text as found -> its resolution against the base.
    TextMap<std::string> resolved;
    std::string scratch;
    std::string url;
    for (const std::string& link : links) {
        std::string_view normalized = NormalizeLinkText(link, scratch);
        if (ClassifyLink(normalized) != ELinkKind::kWeb || HasURIScheme(normalized)) continue;
        if (resolved.find(std::string_view(link)) != resolved.end()) continue;
        // The place in the target page stays with the link.
        std::size_t hash = link.find('#');
        if (!ResolveRelativeURL(base.url, std::string_view(link).substr(0, hash), url)) continue;
        if (hash != std::string::npos) url.append(link, hash);
        if (url != link) resolved.emplace(link, url);
    }
    if (resolved.empty()) return true;

    const int quantum = YieldQuantum(context);
    const std::string count = std::to_string(resolved.size());
    std::unordered_set<std::string_view> seen;
    std::size_t replacedCount = 0;
    std::string rewritten;
    RewriteLinks(text, [&](const CLinkOccurrence& occurrence, std::string& replacement) {
        auto entry = resolved.find(occurrence.link);
        // Text that only looks like a link keeps its bytes.
        if (entry == resolved.end() || !IsMarkupLink(text, occurrence)) return ERewrite::kKeep;
        if (context) {
            if (context->IsStopRequested()) return ERewrite::kStop;
            if (seen.insert(entry->first).second && seen.size() % kEntriesPerStatus == 0)
                context->ShowStatus("Replacing base relinked URLs (" + std::to_string(seen.size()) + " of " + count + ")");
            if (++replacedCount % quantum == 0) context->Yield();
        }
        replacement = entry->second;
        return ERewrite::kReplace;
    }, rewritten);
    text.swap(rewritten);
    return true;
}

std::string ExtractTitle(std::string_view text)
{
    std::size_t start = FindTextNoCase(text, "<title>");
    if (start == kNone) return {};
    start += 7;
    std::size_t end = FindTextNoCase(text, "</title>", start);
    return end == kNone ? std::string() : std::string(text.substr(start, end - start));
}
