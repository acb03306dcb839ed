// The text of an HTML page through libxml2's forgiving HTML parser: entities
// are decoded, the encoding comes from the page's own declaration (UTF-8 when
// the bytes are UTF-8), and scripts and styles are left out.
#include <algorithm>
#include <cstdint>
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

std::string HTMLReadableText(std::string_view bytes)
{
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
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
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
