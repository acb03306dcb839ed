// Splitting a URI reference into its five parts (RFC 3986 appendix B): the
// one place that finds where a URL's scheme, authority, path, query and
// fragment begin and end. Every reader of URLs builds on it, so no two of
// them can disagree on where the host stops or the path starts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Each `has` flag tells an empty part from a missing one.
struct CURIReference {
    std::string_view scheme;
    std::string_view authority;
    std::string_view path;
    std::string_view query;
    std::string_view fragment;
    bool hasScheme = false;
    bool hasAuthority = false;
    bool hasQuery = false;
    bool hasFragment = false;
};

// Splits any text; the scheme is taken only when it is one by the RFC's
// grammar (a letter, then letters, digits, '+', '-' or '.').
CURIReference SplitURIReference(std::string_view text);

// The scheme of `text` when it starts with one followed by ':'.
[[nodiscard]] bool HasURIScheme(std::string_view text, std::string_view* scheme = nullptr);

// The offset in `url` just past its authority, where the path begins; npos
// for a text without a scheme and an authority ("scheme://host").
[[nodiscard]] std::size_t AuthorityEnd(std::string_view url);
// The same for `url` split before into `parts`.
[[nodiscard]] std::size_t AuthorityEnd(const CURIReference& parts, std::string_view url);

// host[:port] of an authority: what follows any "user:password@".
std::string_view AuthorityHost(std::string_view authority);

// The URL without the "user:password@" of its authority, as file managers
// show a file's origin and as logs may print it.
std::string WithoutUserInfo(std::string_view url);
