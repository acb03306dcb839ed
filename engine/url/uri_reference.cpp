#include "engine/url/uri_reference.h"

#include "foundation/text/ascii.h"

namespace {

bool IsSchemeChar(unsigned char c) { return IsAsciiAlnum(c) || c == '+' || c == '-' || c == '.'; }

}  // namespace

bool HasURIScheme(std::string_view text, std::string_view* scheme)
{
    if (text.empty() || !IsAsciiAlpha(static_cast<unsigned char>(text.front()))) return false;
    for (std::size_t i = 1; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == ':') {
            if (scheme) *scheme = text.substr(0, i);
            return true;
        }
        if (!IsSchemeChar(c)) return false;
    }
    return false;
}

CURIReference SplitURIReference(std::string_view text)
{
    CURIReference parts;
    std::string_view rest = text;
    if (HasURIScheme(text, &parts.scheme)) {
        parts.hasScheme = true;
        rest.remove_prefix(parts.scheme.size() + 1);
    }
    if (rest.size() >= 2 && rest[0] == '/' && rest[1] == '/') {
        rest.remove_prefix(2);
        // A plain loop: find_first_of calls memchr once for every byte.
        std::size_t end = 0;
        while (end < rest.size() && rest[end] != '/' && rest[end] != '?' && rest[end] != '#') ++end;
        parts.authority = rest.substr(0, end);
        parts.hasAuthority = true;
        rest.remove_prefix(end);
    }
    std::size_t hash = rest.find('#');
    if (hash != std::string_view::npos) {
        parts.fragment = rest.substr(hash + 1);
        parts.hasFragment = true;
        rest = rest.substr(0, hash);
    }
    std::size_t question = rest.find('?');
    if (question != std::string_view::npos) {
        parts.query = rest.substr(question + 1);
        parts.hasQuery = true;
        rest = rest.substr(0, question);
    }
    parts.path = rest;
    return parts;
}

std::size_t AuthorityEnd(std::string_view url) { return AuthorityEnd(SplitURIReference(url), url); }

std::size_t AuthorityEnd(const CURIReference& parts, std::string_view url)
{
    if (!parts.hasScheme || !parts.hasAuthority) return std::string_view::npos;
    return static_cast<std::size_t>(parts.authority.data() - url.data()) + parts.authority.size();
}

std::string_view AuthorityHost(std::string_view authority)
{
    const std::size_t at = authority.rfind('@');
    return at == std::string_view::npos ? authority : authority.substr(at + 1);
}

std::string WithoutUserInfo(std::string_view url)
{
    const CURIReference parts = SplitURIReference(url);
    const std::size_t end = AuthorityEnd(parts, url);
    const std::size_t at = parts.authority.rfind('@');
    if (end == std::string_view::npos || at == std::string_view::npos) return std::string(url);
    const std::size_t start = end - parts.authority.size();
    std::string out(url.substr(0, start));
    out.append(url.substr(start + at + 1));
    return out;
}
