#include "foundation/text/line_feeds.h"

#include <cstring>

// A log takes one piece per status text, so the common piece (no CR, not
// the LF of a pair) is appended whole.
void AppendWithLineFeeds(std::string& out, std::string_view text, bool& afterReturn)
{
    if (!text.empty() && afterReturn && text.front() == '\n') text.remove_prefix(1);
    else if (text.empty()) return;
    afterReturn = false;
    while (!text.empty()) {
        const void* found = std::memchr(text.data(), '\r', text.size());
        if (found == nullptr) {
            out.append(text);
            return;
        }
        const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
        out.append(text.data(), at);
        out += '\n';
        text.remove_prefix(at + 1);
        if (text.empty()) afterReturn = true;
        else if (text.front() == '\n') text.remove_prefix(1);
    }
}

std::string WithLineFeeds(std::string_view text, bool& afterReturn)
{
    std::string out;
    out.reserve(text.size());
    AppendWithLineFeeds(out, text, afterReturn);
    return out;
}
