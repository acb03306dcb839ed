// Shared pieces of the sending tests: an account on a loopback peer, a
// simple request, and a hook that collects outcomes.
#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include "engine/mail/mail_body.h"
#include "engine/mail/send_mail_thread.h"

inline CMailAccount LoopbackAccount(int port, std::chrono::milliseconds timeout = std::chrono::seconds(10))
{
    CMailAccount account;
    account.server = "127.0.0.1";
    account.port = static_cast<std::uint16_t>(port);
    account.timeout = timeout;
    return account;
}

inline CMailInfo SimpleMail(const char* recipient = "bob@example.org", const char* sender = "ann@example.org")
{
    CMailBody body;
    body.mRecipient = recipient;
    body.mSender.Assign(sender);
    body.mSubject.Assign("Tidewell: Level 1, 50% complete");
    body.mMessageText.Assign("Crawling \"http://example.org/\". Elapsed time: 3 mins");
    body.mContentType = "text/plain";
    return CMailInfo(body);
}

inline CMailOutcome SendNow(const CMailInfo& info, const CMailAccount& account)
{
    CSMTPSendMsgThread send(info, account, MailOutcomeHook());
    send.Run();
    return send.Outcome();
}

// Collects the outcomes that the sending threads report to Hook(); it must
// outlive the sends (WaitForMailSending).
class OutcomeCollector {
public:
    MailOutcomeHook Hook()
    {
        return [this](const CMailOutcome& outcome) {
            std::lock_guard<std::mutex> lock(mMutex);
            mOutcomes.push_back(outcome);
        };
    }
    std::vector<CMailOutcome> Outcomes() const
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mOutcomes;
    }

private:
    mutable std::mutex mMutex;
    std::vector<CMailOutcome> mOutcomes;
};
