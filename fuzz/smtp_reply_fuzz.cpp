// The lines of a mail server's replies.
#include <string>

#include "engine/mail/smtp_reply.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    std::string_view text = FuzzText(data, size);
    CSmtpReply reply;
    while (!text.empty()) {
        std::size_t end = text.find("\r\n");
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 2);

        int code = 0;
        bool more = false;
        std::string lineText;
        if (!ParseSmtpReplyLine(line, code, more, lineText)) continue;
        FUZZ_CHECK(code >= 200 && code <= 599);
        // The line written back from its parts reads the same.
        const std::string written = std::to_string(code) + (more ? "-" : " ") + lineText;
        int codeAgain = 0;
        bool moreAgain = false;
        std::string textAgain;
        FUZZ_CHECK(ParseSmtpReplyLine(written, codeAgain, moreAgain, textAgain));
        FUZZ_CHECK(codeAgain == code && moreAgain == more && textAgain == lineText);
        reply.code = code;
        reply.lines.push_back(lineText);
    }
    (void)reply.Text();
    (void)ParseEhloExtensions(reply);
    return 0;
}
