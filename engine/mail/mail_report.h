// The texts that tell how a send ended, for the application log. Each line
// ends with a carriage return. Credentials never appear in them: failed
// commands that carried them are named "[credentials]".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

std::string MailSentReport(std::string_view recipient);
// A server reply ended the send (`authentication`: while logging in).
std::string MailReplyFailureReport(std::string_view recipient, int code, std::string_view replyText,
                                   bool authentication);
// Any other known failure; `command` is the command in progress, if any.
std::string MailErrorReport(std::string_view recipient, std::int32_t code, std::string_view message,
                            std::string_view command);
std::string MailUnknownFailureReport(std::string_view recipient);
