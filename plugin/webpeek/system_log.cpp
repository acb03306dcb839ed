#include "plugin/webpeek/system_log.h"

#include <string>

#include <syslog.h>

namespace webpeek {

void LogLine(std::string_view text)
{
    // The text may carry a URL from the host: never a format string.
    const std::string line(text);
    syslog(LOG_NOTICE, "%s", line.c_str());
}

}  // namespace webpeek
