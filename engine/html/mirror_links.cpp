#include "engine/html/mirror_links.h"

#include <algorithm>

#include "engine/url/url_record.h"
#include "foundation/mirror/mirror_names.h"
#include "foundation/text/text_encodings.h"

namespace {

constexpr std::string_view kDefaultFileName = "Index.html";

// Chars a link carries as they are: unreserved ones and the sub-delimiters
// that mean nothing in a path. '&', quotes and parentheses are escaped too,
// as the link may stand in an attribute or in a style's url(...).
bool StaysInLink(unsigned char c)
{
    if (IsAsciiAlnum(c)) return true;
    switch (c) {
    case '-': case '.': case '_': case '~': case '!': case '$':
    case '*': case '+': case ',': case ';': case '=': case '@':
        return true;
    default:
        return false;
    }
}

}  // namespace

CMirrorLocation MirrorLocationForURL(const CURL& url, const CMirrorNaming& naming)
{
    CMirrorLocation location;
    location.folders = url.MirrorFolderSegments(!naming.flat);
    location.fileName = url.MirrorFileName(naming.indexName, naming.indexForDynamic, naming.remapAllPHP);
    return location;
}

CMirrorLocation MirrorLocationForURL(std::string_view url, const CMirrorNaming& naming)
{
    return MirrorLocationForURL(CURL(url), naming);
}

std::string EncodeMirrorNameForLink(std::string_view name)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(name.size());
    for (char ch : name) {
        auto c = static_cast<unsigned char>(ch);
        if (StaysInLink(c)) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

std::string EncodedMirrorPath(const CMirrorLocation& location)
{
    std::string path;
    for (const std::string& folder : location.folders) {
        std::string name = MirrorNameFromSegment(folder);
        if (name.empty()) continue;
        path += EncodeMirrorNameForLink(name);
        path += '/';
    }
    std::string_view file = location.fileName.empty() ? kDefaultFileName : std::string_view(location.fileName);
    path += EncodeMirrorNameForLink(SafeMirrorName(file));
    return path;
}

std::string LinkFromMirrorRoot(std::string_view encodedPathFromRoot, int pageFolderDepth)
{
    std::string link;
    link.reserve(3 * static_cast<std::size_t>(std::max(pageFolderDepth, 0)) + encodedPathFromRoot.size());
    for (int i = 0; i < pageFolderDepth; ++i) link += "../";
    link += encodedPathFromRoot;
    return link;
}
