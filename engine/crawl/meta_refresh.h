// The target of a page's META refresh: in the first element that begins
// "<META HTTP-EQUIV=REFRESH" (or with REFRESH in double quotes), letter case
// ignored, the text after "URL=" up to a quote or the element's end, blanks
// trimmed. Empty when the page has none.
#pragma once

#include <string>
#include <string_view>

std::string MetaRefreshTarget(std::string_view body);
