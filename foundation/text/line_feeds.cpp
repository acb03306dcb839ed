#include "foundation/text/line_feeds.h"

std::string WithLineFeeds(std::string_view text, bool& afterReturn)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\n' && afterReturn) {
            afterReturn = false;
            continue;
        }
        afterReturn = c == '\r';
        out += afterReturn ? '\n' : c;
    }
    return out;
}
