// Rewriting the links of a page in one pass.
//
// The rewriter walks the page once and offers every place where a link can
// stand to a callback: the text between a pair of '"', of '\'' or of '('
// and ')', the unquoted value of an href=, src= or background= attribute
// (blanks around the '=' allowed), and each picture of a srcset value. The callback answers with the local text of the link, or keeps
// it. The new page is built in one output buffer: each occurrence is
// rewritten at most once, inserted text is never looked at again, and every
// byte the callback does not replace is copied unchanged.
//
// Offers that cannot hold a link are not made: an empty text, a text with a
// '<' or '>', and a parenthesis that holds another '('. A kept offer does not
// hide what it encloses: in style="background:url(x.png)" the quoted text is
// offered first and, when kept, "x.png" next.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

enum class ELinkDelimiter : char {
    kDoubleQuote = '"',
    kSingleQuote = '\'',
    kParenthesis = '(',
    kUnquotedAttribute = '=',
    kSrcsetCandidate = ',',  // one picture of a srcset value
};

struct CLinkOccurrence {
    std::string_view link;  // the bytes between the delimiters, as in the page
    std::size_t offset;     // where `link` starts in the page
    ELinkDelimiter delimiter;
};

enum class ERewrite {
    kKeep,
    kReplace,  // the callback's replacement takes the link's place
    kStop,     // keep this and every later link (a stop request)
};

using LinkRewriteCallback = std::function<ERewrite(const CLinkOccurrence& occurrence, std::string& replacement)>;

struct CRewriteResult {
    std::size_t replaced = 0;
    bool stopped = false;
};

// `out` receives the new page (a copy of `page` when nothing is replaced).
CRewriteResult RewriteLinks(std::string_view page, const LinkRewriteCallback& callback, std::string& out);

// Whether an offer is a link of the markup rather than text that looks like
// one: the value of an href, src or background attribute, quoted or not, a
// srcset picture, or a style's url() reference or @import address. Text, scripts and code
// samples hold the rest ("str(self.msg)").
[[nodiscard]] bool IsMarkupLink(std::string_view page, const CLinkOccurrence& occurrence);
