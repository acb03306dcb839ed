#include "engine/mail/mail_addresses.h"
#include "foundation/text/ascii.h"

namespace {

bool IsUsableAddress(std::string_view address)
{
    if (address.empty()) return false;
    for (char c : address) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7F || c == '<' || c == '>') return false;
    }
    return true;
}

}  // namespace

std::string EnvelopeAddress(std::string_view text)
{
    std::string_view address = TrimBlanks(text);
    const std::size_t open = address.rfind('<');
    if (open != std::string_view::npos) {
        const std::size_t close = address.find('>', open);
        if (close == std::string_view::npos || !TrimBlanks(address.substr(close + 1)).empty()) return {};
        address = TrimBlanks(address.substr(open + 1, close - open - 1));
    }
    return IsUsableAddress(address) ? std::string(address) : std::string();
}

std::vector<std::string> EnvelopeRecipients(std::string_view list)
{
    std::vector<std::string> recipients;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= list.size(); ++i) {
        if (i < list.size() && list[i] == '"') quoted = !quoted;
        if (i < list.size() && (list[i] != ',' || quoted)) continue;
        const std::string_view item = TrimBlanks(list.substr(start, i - start));
        if (!item.empty()) recipients.push_back(EnvelopeAddress(item));
        start = i + 1;
    }
    return recipients;
}

std::string DefaultSender(std::string_view userName, std::string_view recipient)
{
    if (userName.find('@') != std::string_view::npos && !EnvelopeAddress(userName).empty()) return std::string(userName);
    const std::vector<std::string> recipients = EnvelopeRecipients(recipient);
    return recipients.empty() ? std::string() : recipients.front();
}
