#include "engine/url/url_resolution.h"

#include <array>
#include <cstring>
#include <vector>

#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

// "." and its escaped form "%2e" (any case), as browsers read dot-segments.
std::size_t DotLength(std::string_view text, std::size_t at)
{
    if (at < text.size() && text[at] == '.') return 1;
    if (at + 2 < text.size() && text[at] == '%' && text[at + 1] == '2' && AsciiLower(text[at + 2]) == 'e')
        return 3;
    return 0;
}

// 1 for ".", 2 for "..", 0 for any other segment.
int DotSegmentKind(std::string_view segment)
{
    std::size_t first = DotLength(segment, 0);
    if (first == 0) return 0;
    if (first == segment.size()) return 1;
    std::size_t second = DotLength(segment, first);
    return second != 0 && first + second == segment.size() ? 2 : 0;
}

// Removes the dot-segments of path[0, length) in place (what is written
// never passes what is read) and returns the new length.
std::size_t RemoveDotSegmentsInPlace(char* path, std::size_t length)
{
    const bool absolute = length > 0 && path[0] == '/';
    std::size_t read = absolute ? 1 : 0;
    std::size_t write = 0;
    // Where each kept segment starts in the output (its '/' included), so
    // ".." drops the last one by cutting there.
    constexpr std::size_t kInlineDepth = 64;
    std::size_t inlineStarts[kInlineDepth];
    std::vector<std::size_t> moreStarts;
    std::size_t depth = 0;
    auto push = [&](std::size_t start) {
        if (depth < kInlineDepth) inlineStarts[depth] = start;
        else moreStarts.push_back(start);
        ++depth;
    };
    auto pop = [&]() {
        --depth;
        if (depth < kInlineDepth) return inlineStarts[depth];
        std::size_t start = moreStarts.back();
        moreStarts.pop_back();
        return start;
    };

    bool trailingSlash = false;
    while (true) {
        std::size_t end = read;
        while (end < length && path[end] != '/') ++end;
        const bool last = end == length;
        int kind = DotSegmentKind(std::string_view(path + read, end - read));
        if (kind == 0) {
            push(write);
            if (absolute || depth > 1) path[write++] = '/';
            std::memmove(path + write, path + read, end - read);
            write += end - read;
        } else if (kind == 2 && depth > 0) {
            write = pop();
        }
        trailingSlash = kind != 0;
        if (last) break;
        read = end + 1;
    }
    if (trailingSlash && (absolute || write > 0)) path[write++] = '/';
    if (absolute && write == 0) path[write++] = '/';
    return write;
}

bool NeedsCleaning(std::string_view link)
{
    if (link.empty()) return false;
    if (static_cast<unsigned char>(link.front()) <= 0x20 || static_cast<unsigned char>(link.back()) <= 0x20)
        return true;
    for (char c : link)
        if (c == '\t' || c == '\n' || c == '\r') return true;
    return false;
}

// Trims blanks and control chars at both ends and drops TAB, LF and CR.
std::string_view CleanLink(std::string_view link, std::string& scratch)
{
    if (!NeedsCleaning(link)) return link;
    std::size_t first = 0;
    std::size_t last = link.size();
    while (first < last && static_cast<unsigned char>(link[first]) <= 0x20) ++first;
    while (last > first && static_cast<unsigned char>(link[last - 1]) <= 0x20) --last;
    scratch.clear();
    for (char c : link.substr(first, last - first))
        if (c != '\t' && c != '\n' && c != '\r') scratch += c;
    return scratch;
}

}  // namespace

bool IsFetchableScheme(std::string_view scheme)
{
    return EqualsNoCase(scheme, "http") || EqualsNoCase(scheme, "https") || EqualsNoCase(scheme, "ftp");
}

bool IsFetchableURL(std::string_view url)
{
    CURIReference parts = SplitURIReference(url);
    if (!parts.hasScheme || !IsFetchableScheme(parts.scheme) || !parts.hasAuthority) return false;
    std::string_view host = AuthorityHost(parts.authority);
    return !host.empty() && host.front() != ':';
}

std::string RemoveDotSegments(std::string_view path)
{
    std::string out(path);
    out.resize(RemoveDotSegmentsInPlace(out.data(), out.size()));
    return out;
}

std::string ResolveReference(std::string_view baseText, std::string_view referenceText, bool keepFragment)
{
    return ResolveAgainst(SplitURIReference(baseText), referenceText, keepFragment);
}

std::string ResolveAgainst(const CURIReference& base, std::string_view referenceText, bool keepFragment)
{
    const CURIReference reference = SplitURIReference(referenceText);

    std::string_view scheme = base.scheme;
    bool hasScheme = base.hasScheme;
    std::string_view authority = base.authority;
    bool hasAuthority = base.hasAuthority;
    std::string_view query = reference.query;
    bool hasQuery = reference.hasQuery;
    // The path is written as one or two pieces, then cleaned of its
    // dot-segments where it stands in the result.
    std::string_view pathHead;
    std::string_view pathTail = reference.path;

    if (reference.hasScheme) {
        scheme = reference.scheme;
        hasScheme = true;
        authority = reference.authority;
        hasAuthority = reference.hasAuthority;
    } else if (reference.hasAuthority) {
        authority = reference.authority;
    } else if (reference.path.empty()) {
        // The base's own path, cleaned like any other: a base that was not
        // itself resolved ("/a/%2e%2e/b") must not resolve to an address
        // that reads differently when resolved again.
        pathTail = base.path;
        if (!reference.hasQuery) {
            query = base.query;
            hasQuery = base.hasQuery;
        }
    } else if (reference.path.front() != '/') {
        // Merged with the base's path up to its last '/' (RFC 3986 5.2.3).
        if (base.hasAuthority && base.path.empty()) pathHead = "/";
        else {
            std::size_t slash = base.path.rfind('/');
            if (slash != std::string_view::npos) pathHead = base.path.substr(0, slash + 1);
        }
    }

    std::string out;
    out.reserve(scheme.size() + authority.size() + pathHead.size() + pathTail.size() + query.size() +
                reference.fragment.size() + 6);
    if (hasScheme) {
        out += scheme;
        out += ':';
    }
    if (hasAuthority) {
        out += "//";
        out += authority;
    }
    const std::size_t pathStart = out.size();
    out += pathHead;
    out += pathTail;
    out.resize(pathStart + RemoveDotSegmentsInPlace(out.data() + pathStart, out.size() - pathStart));
    if (hasQuery) {
        out += '?';
        out += query;
    }
    if (keepFragment && reference.hasFragment) {
        out += '#';
        out += reference.fragment;
    }
    return out;
}

namespace {

bool IsHexDigit(char c)
{
    return IsAsciiDigit(static_cast<unsigned char>(c)) || (AsciiLower(c) >= 'a' && AsciiLower(c) <= 'f');
}

// The bytes a request line cannot carry as they are: blanks, controls,
// bytes of UTF-8 characters and the chars RFC 3986 excludes; and '%', which
// may start an escape. Every byte of every link is looked up here.
constexpr std::array<bool, 256> kRequestEscapes = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c) table[static_cast<std::size_t>(c)] = c <= 0x20 || c >= 0x7F;
    for (unsigned char c : std::string_view("\"<>\\^`{|}%")) table[c] = true;
    return table;
}();

// A byte that must be escaped, or a '%' that starts no escape (servers
// answer a raw "%" with 400).
inline bool NeedsEscapeInRequest(std::string_view url, std::size_t at)
{
    const auto c = static_cast<unsigned char>(url[at]);
    if (!kRequestEscapes[c]) return false;
    if (c != '%') return true;
    return at + 2 >= url.size() || !IsHexDigit(url[at + 1]) || !IsHexDigit(url[at + 2]);
}

void EscapeForRequest(std::string& url)
{
    std::size_t first = 0;
    while (first < url.size() && !NeedsEscapeInRequest(url, first)) ++first;
    if (first == url.size()) return;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out(url, 0, first);
    for (std::size_t at = first; at < url.size(); ++at) {
        if (!NeedsEscapeInRequest(url, at)) {
            out += url[at];
            continue;
        }
        const auto c = static_cast<unsigned char>(url[at]);
        out += '%';
        out += kHex[c >> 4];
        out += kHex[c & 0x0F];
    }
    url.swap(out);
}

bool ResolveCleanly(const CURIReference& base, std::string_view link, std::string& out)
{
    std::string scratch;
    out = ResolveAgainst(base, CleanLink(link, scratch), false);
    EscapeForRequest(out);
    return IsFetchableURL(out);
}

}  // namespace

bool ResolveRelativeURL(std::string_view baseURL, std::string_view link, std::string& out)
{
    return ResolveCleanly(SplitURIReference(baseURL), link, out);
}

CURLResolver::CURLResolver(std::string_view baseURL) : mBase(baseURL), mParts(SplitURIReference(mBase)) {}

bool CURLResolver::Resolve(std::string_view link, std::string& out) const { return ResolveCleanly(mParts, link, out); }
