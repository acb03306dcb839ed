#include "engine/mail/smtp_data.h"

namespace {

void AppendLine(std::string_view line, std::string& out)
{
    do {
        const bool stuffed = !line.empty() && line.front() == '.';
        const std::size_t take = std::min(line.size(), kMaxSmtpLineLength - (stuffed ? 1 : 0));
        if (stuffed) out += '.';
        out.append(line.substr(0, take));
        out += "\r\n";
        line.remove_prefix(take);
    } while (!line.empty());
}

}  // namespace

std::string EncodeSmtpData(std::string_view message, bool endData)
{
    std::string out;
    out.reserve(message.size() + message.size() / 32 + 8);
    std::size_t start = 0;
    while (start < message.size()) {
        std::size_t end = message.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = message.size();
        AppendLine(message.substr(start, end - start), out);
        if (end == message.size()) break;
        start = end + ((message[end] == '\r' && end + 1 < message.size() && message[end + 1] == '\n') ? 2 : 1);
    }
    if (message.empty()) out += "\r\n";
    if (endData) out += "\r\n.\r\n";
    return out;
}
