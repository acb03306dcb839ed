#include "engine/mail/mail_report.h"

namespace {

std::string FirstLine(std::string_view recipient)
{
    return "An error occurred while trying to send email to \"" + std::string(recipient) + "\"\r";
}

std::string OrNotAvailable(std::string_view text) { return text.empty() ? "Not available" : std::string(text); }

}  // namespace

std::string MailSentReport(std::string_view recipient)
{
    return "Notification mail sent to \"" + std::string(recipient) + "\".\r";
}

std::string MailReplyFailureReport(std::string_view recipient, int code, std::string_view replyText,
                                   bool authentication)
{
    std::string report = FirstLine(recipient);
    report += "Mail server response code: " + std::to_string(code) + "\r";
    report += "Mail server response: " + OrNotAvailable(replyText) + "\r";
    if (authentication)
        report += "An error occurred when authenticating. Try not authenticating (i.e. don't enter a username and "
                  "password), or check that your username and password are correct.\r";
    return report;
}

std::string MailErrorReport(std::string_view recipient, std::int32_t code, std::string_view message,
                            std::string_view command)
{
    std::string report = FirstLine(recipient);
    if (!command.empty())
        report += "An exception occurred when sending the command : \"" + std::string(command) +
                  "\" (code: " + std::to_string(code) + ").\r";
    report += "Error code: " + std::to_string(code) + "\r";
    report += "Error message: " + OrNotAvailable(message) + "\r";
    return report;
}

std::string MailUnknownFailureReport(std::string_view recipient)
{
    return "An unknown error occurred while trying to send email to \"" + std::string(recipient) + "\"\r";
}
