#include "engine/mail/send_mail_thread.h"

#include <condition_variable>
#include <ctime>
#include <memory>
#include <mutex>
#include <utility>

#include "engine/mail/mail_addresses.h"
#include "engine/mail/mail_body.h"
#include "engine/mail/mail_errors.h"
#include "engine/mail/mail_report.h"
#include "engine/mail/message_id.h"
#include "engine/mail/mime_message.h"
#include "engine/mail/smtp_connection.h"
#include "foundation/settings/app_settings.h"
#include "foundation/settings/log_file.h"
#include "foundation/threads/worker_pool.h"

namespace {

struct SendsInFlight {
    std::mutex mutex;
    std::condition_variable ended;
    std::size_t count = 0;
};

SendsInFlight& InFlight()
{
    static SendsInFlight* sends = new SendsInFlight;  // outlives every worker
    return *sends;
}

// Sends end on several workers at once; their log lines must not interleave.
std::mutex gLogMutex;

void AppendToApplicationLog(const CMailOutcome& outcome)
{
    std::lock_guard<std::mutex> lock(gLogMutex);
    if (gAppSettings != nullptr) (void)AppendToLog(gAppSettings->mLog.get(), outcome.report);
}

}  // namespace

CSMTPSendMsgThread::CSMTPSendMsgThread(const CMailInfo& info, CMailAccount account, MailOutcomeHook onOutcome)
    : mAccount(std::move(account)), mOnOutcome(std::move(onOutcome))
{
    CMailBody body(info.mBody);
    if (body.mRecipient.IsEmpty()) body.mRecipient = mAccount.recipient.c_str();
    if (body.mSender.IsEmpty()) body.mSender.Assign(DefaultSender(mAccount.userName, body.mRecipient.View()));
    mOutcome.recipient = body.mRecipient.str();

    mFrom = EnvelopeAddress(body.mSender.View());
    mRecipients = ::EnvelopeRecipients(body.mRecipient.View());
    bool addressesUsable = !mFrom.empty();
    for (const std::string& recipient : mRecipients) addressesUsable = addressesUsable && !recipient.empty();
    if (mAccount.server.empty()) {
        mSetupError = kMailNoServer;
        mSetupErrorText = "No mail server is set.";
    } else if (mRecipients.empty()) {
        mSetupError = kMailNoRecipient;
        mSetupErrorText = "No recipient is set.";
    } else if (!addressesUsable) {
        mSetupError = kMailBadAddress;
        mSetupErrorText = "The sender or a recipient is not a usable mail address.";
    }
    if (mSetupError == 0)
        mMessage = BuildMimeMessage(body, MakeMessageID(body.mSender.View()), static_cast<std::int64_t>(std::time(nullptr)));
}

void CSMTPSendMsgThread::Fail(std::int32_t code, const std::string& text, const std::string& report)
{
    mOutcome.sent = false;
    mOutcome.resultCode = code;
    mOutcome.resultText = text;
    mOutcome.report = report;
}

void CSMTPSendMsgThread::Run()
{
    const std::string& recipient = mOutcome.recipient;
    if (mSetupError != 0) {
        Fail(mSetupError, mSetupErrorText, MailErrorReport(recipient, mSetupError, mSetupErrorText, {}));
    } else {
        try {
            CSMTPConnection connection(mAccount);
            connection.SendMessage(mFrom, mRecipients, mMessage);
            mOutcome.sent = true;
            mOutcome.resultCode = 0;
            mOutcome.resultText.clear();
            mOutcome.report = MailSentReport(recipient);
        } catch (const CSmtpReplyError& error) {
            const std::string text = error.Reply().Text();
            Fail(error.Reply().code, text,
                 MailReplyFailureReport(recipient, error.Reply().code, text, error.DuringAuthentication()));
        } catch (const CSmtpCommandError& error) {
            Fail(error.GetErrorCode(), error.GetErrorString(),
                 MailErrorReport(recipient, error.GetErrorCode(), error.GetErrorString(), error.Command()));
        } catch (const CFrameworkException& error) {
            Fail(error.GetErrorCode(), error.GetErrorString(),
                 MailErrorReport(recipient, error.GetErrorCode(), error.GetErrorString(), {}));
        } catch (...) {
            Fail(0, {}, MailUnknownFailureReport(recipient));
        }
    }
    try {
        if (mOnOutcome) mOnOutcome(mOutcome);
        else AppendToApplicationLog(mOutcome);
    } catch (...) {
        // A hook that throws must not take the worker down with it.
    }
}

void StartSendMailThread(const CMailInfo& info, MailOutcomeHook onOutcome)
{
    CMailAccount account;
    if (gAppSettings != nullptr) {
        gAppSettings->LoadMailSettings();
        account = MailAccountFromSettings(*gAppSettings);
    }
    StartSendMailThread(info, account, std::move(onOutcome));
}

void StartSendMailThread(const CMailInfo& info, const CMailAccount& account, MailOutcomeHook onOutcome)
{
    auto send = std::make_shared<CSMTPSendMsgThread>(info, account, std::move(onOutcome));
    SendsInFlight& sends = InFlight();
    {
        std::lock_guard<std::mutex> lock(sends.mutex);
        ++sends.count;
    }
    CWorkerPool::Shared().Submit([send]() mutable {
        send->Run();
        send.reset();
        SendsInFlight& inFlight = InFlight();
        std::lock_guard<std::mutex> lock(inFlight.mutex);
        --inFlight.count;
        inFlight.ended.notify_all();
    });
}

bool WaitForMailSending(std::chrono::milliseconds timeout)
{
    SendsInFlight& sends = InFlight();
    std::unique_lock<std::mutex> lock(sends.mutex);
    return sends.ended.wait_for(lock, timeout, [&] { return sends.count == 0; });
}

std::size_t MailsBeingSent()
{
    SendsInFlight& sends = InFlight();
    std::lock_guard<std::mutex> lock(sends.mutex);
    return sends.count;
}
