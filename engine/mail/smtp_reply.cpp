#include "engine/mail/smtp_reply.h"

#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

std::string CSmtpReply::Text() const
{
    std::string text;
    for (const std::string& line : lines) {
        if (!text.empty()) text += ' ';
        text += line;
    }
    return text;
}

bool ParseSmtpReplyLine(std::string_view line, int& code, bool& more, std::string& text)
{
    if (line.size() < 3) return false;
    for (int i = 0; i < 3; ++i)
        if (!IsAsciiDigit(static_cast<unsigned char>(line[i]))) return false;
    if (line[0] < '2' || line[0] > '5') return false;
    code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
    if (line.size() == 3) {
        more = false;
        text.clear();
        return true;
    }
    if (line[3] != ' ' && line[3] != '-') return false;
    more = line[3] == '-';
    text.assign(line.substr(4));
    return true;
}

CSmtpExtensions ParseEhloExtensions(const CSmtpReply& reply)
{
    CSmtpExtensions extensions;
    // The first line is the server's greeting of us, not a keyword.
    for (std::size_t i = 1; i < reply.lines.size(); ++i) {
        std::string line = AsciiUppercased(reply.lines[i]);
        while (!line.empty() && IsAsciiSpace(static_cast<unsigned char>(line.back()))) line.pop_back();
        if (line == "STARTTLS") extensions.startTls = true;
        if (line.rfind("AUTH", 0) != 0 || line.size() < 5 || (line[4] != ' ' && line[4] != '=')) continue;
        std::size_t at = 5;
        while (at < line.size()) {
            std::size_t end = line.find(' ', at);
            if (end == std::string::npos) end = line.size();
            const std::string mechanism = line.substr(at, end - at);
            if (mechanism == "PLAIN") extensions.authPlain = true;
            if (mechanism == "LOGIN") extensions.authLogin = true;
            at = end + 1;
        }
    }
    return extensions;
}
