// SMTP replies: the three-digit code and the reply's text lines, and what an
// EHLO reply says the server offers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct CSmtpReply {
    int code = 0;
    std::vector<std::string> lines;  // the text after each line's code

    // The lines joined by blanks.
    std::string Text() const;
};

// One reply line "250-text" (more lines follow) or "250 text" (last line);
// a bare "250" counts as a last line. False for anything else.
[[nodiscard]] bool ParseSmtpReplyLine(std::string_view line, int& code, bool& more, std::string& text);

// What an EHLO reply offers that the sender uses.
struct CSmtpExtensions {
    bool startTls = false;
    bool authPlain = false;
    bool authLogin = false;
};

// Keywords are read without regard to case; both "AUTH PLAIN LOGIN" and the
// old "AUTH=LOGIN" form count.
CSmtpExtensions ParseEhloExtensions(const CSmtpReply& reply);
