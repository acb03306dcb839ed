// The text of an HTML page through libxml2's forgiving HTML parser: entities
// are decoded, the encoding comes from the page's own declaration (UTF-8 when
// the bytes are UTF-8), and scripts, styles and CDATA sections (which hold
// data for programs, never text for a reader) are left out.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include "foundation/text/utf8_validity.h"
#include "tools/search_kit_indexer/readable_text.h"

namespace {

bool IsNamed(const xmlNode* node, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (xmlStrcasecmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0) return true;
    return false;
}

// The bytes with each CDATA section replaced by a blank. The HTML parser
// would read one as text (its marker included); comments are skipped whole,
// since a marker inside one opens nothing.
std::string WithoutCDATA(std::string_view bytes)
{
    static constexpr std::string_view kOpen = "<![CDATA[", kClose = "]]>", kComment = "<!--", kCommentEnd = "-->";
    std::string kept;
    std::size_t from = 0;
    for (std::size_t at = bytes.find("<!"); at != std::string_view::npos; at = bytes.find("<!", at)) {
        if (bytes.substr(at, kComment.size()) == kComment) {
            const std::size_t end = bytes.find(kCommentEnd, at + kComment.size());
            at = end == std::string_view::npos ? bytes.size() : end + kCommentEnd.size();
            continue;
        }
        if (bytes.substr(at, kOpen.size()) != kOpen) {
            at += 2;
            continue;
        }
        kept.append(bytes.substr(from, at - from));
        kept += ' ';
        const std::size_t end = bytes.find(kClose, at + kOpen.size());
        from = at = end == std::string_view::npos ? bytes.size() : end + kClose.size();
    }
    kept.append(bytes.substr(std::min(from, bytes.size())));
    return kept;
}

bool IsHidden(const xmlNode* node) { return IsNamed(node, {"script", "style", "template"}); }

// Text inside these runs on with its neighbours ("<b>W</b>ord" reads "Word");
// other elements break words.
bool IsInline(const xmlNode* node)
{
    return IsNamed(node, {"a", "abbr", "acronym", "b", "bdi", "bdo", "big", "cite", "code", "dfn", "em", "font",
                          "i", "kbd", "mark", "q", "s", "samp", "small", "span", "strike", "strong", "sub", "sup",
                          "time", "tt", "u", "var"});
}

}  // namespace

std::string HTMLReadableText(std::string_view page)
{
    const std::string owned = page.find("<![CDATA[") != std::string_view::npos ? WithoutCDATA(page) : std::string();
    const std::string_view bytes = owned.empty() ? page : std::string_view(owned);
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT32_MAX)) return "";
    const char* encoding = IsValidUtf8(bytes) ? "UTF-8" : nullptr;
    htmlDocPtr document = htmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, encoding,
                                         HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                                             HTML_PARSE_NONET);
    if (document == nullptr) return "";
    std::string text;
    // Depth-first without recursion: pages can nest deeply.
    std::vector<xmlNode*> pending;
    for (xmlNode* node = xmlDocGetRootElement(document); node != nullptr; node = node->next) pending.push_back(node);
    std::reverse(pending.begin(), pending.end());
    while (!pending.empty()) {
        xmlNode* node = pending.back();
        pending.pop_back();
        if (node == nullptr) {  // the end of a block element
            text += ' ';
            continue;
        }
        if (node->type == XML_TEXT_NODE) {
            if (node->content != nullptr) text += reinterpret_cast<const char*>(node->content);
            continue;
        }
        if (node->type != XML_ELEMENT_NODE || IsHidden(node)) continue;
        if (!IsInline(node)) {
            text += ' ';
            pending.push_back(nullptr);
        }
        std::size_t mark = pending.size();
        for (xmlNode* child = node->children; child != nullptr; child = child->next) pending.push_back(child);
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(mark), pending.end());
    }
    xmlFreeDoc(document);
    return text;
}
