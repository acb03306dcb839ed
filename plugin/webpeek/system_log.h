// The plug-in's messages go to the system log, as the host's other messages
// do; the host's own openlog() settings (ident, stderr copy) apply.
#pragma once

#include <string_view>

namespace webpeek {

void LogLine(std::string_view text);

}  // namespace webpeek
