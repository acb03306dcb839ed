// Text put into a report page as HTML: '&', '<', '>', '"' and '\'' become
// entities, so a page title or a URL can neither end an attribute nor open
// an element.
#pragma once

#include <string>
#include <string_view>

void AppendEscapedHTML(std::string& out, std::string_view text);
