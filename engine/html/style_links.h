// The links of style sheets: url(...) references, quoted or not and with
// any query ("font.woff?v=1"), and the quoted address of an @import. They
// are links wherever styles stand: in a style sheet, a style block or a
// style attribute.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// Every reference of `text` in order, as views of the text between the
// delimiters (quotes removed, blanks around an unquoted one trimmed). An
// unquoted reference holding a blank, a quote or a '(' is none (CSS does
// not allow them; "url(r'^x/', view)" in a code sample is no link).
void CollectStyleLinks(std::string_view text, std::vector<std::string_view>& out);

// Whether the link at [offset, offset + length) of `text` stands as such a
// reference: right after "url(" (blanks and one quote between them
// allowed) or as the quoted address after "@import".
[[nodiscard]] bool IsStyleLinkAt(std::string_view text, std::size_t offset);
