#include "engine/crawl/crawl_collaborators.h"

#include <stdexcept>
#include <utility>

#include "engine/crawl/elapsed_time.h"
#include "engine/mail/send_mail_thread.h"

CCrawlCollaborators::CCrawlCollaborators(CCrawlProgressOutlets outlets, CrawlPreferencesReader readPreferences,
                                         CrawlMailSender sendMail, CrawlClock clock)
    : outlets(std::move(outlets)), readPreferences(std::move(readPreferences)), sendMail(std::move(sendMail)),
      clock(std::move(clock))
{
    if (!this->readPreferences || !this->sendMail || !this->clock)
        throw std::invalid_argument("a crawl needs its preferences, its mail sender and its clock");
}

CCrawlCollaborators StandardCrawlCollaborators(CCrawlProgressOutlets outlets, CStartAnswer startAnswer)
{
    CCrawlCollaborators collaborators(
        std::move(outlets), &CCrawlPreferences::Read,
        [](const CMailInfo& mail) { StartSendMailThread(mail, MailOutcomeHook()); }, &CrawlClockNow);
    collaborators.startAnswer = std::move(startAnswer);
    return collaborators;
}
