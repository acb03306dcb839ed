// What a crawl needs from outside the engine, handed in by whoever starts
// it (a grab window, the headless driver, a test): where its progress shows
// (tile and mail picture), how it reads the preferences it consults, how it
// sends its notification mails, and its clock. The constructor takes every
// one, so a crawl made without one does not compile, and refuses an empty
// function, so none is silently missing at run time. What a check of the
// start URL learned before the crawl goes with them.
#pragma once

#include <cstdint>
#include <functional>

#include "engine/crawl/crawl_preferences.h"
#include "engine/crawl/crawl_progress_outlets.h"
#include "engine/crawl/start_answer.h"

class CMailInfo;

// Read when the crawl begins, once.
using CrawlPreferencesReader = std::function<CCrawlPreferences()>;
// Sends one mail in the background and returns at once.
using CrawlMailSender = std::function<void(const CMailInfo& mail)>;
// Clock seconds since 1970.
using CrawlClock = std::function<std::int64_t()>;

struct CCrawlCollaborators {
    // Throws std::invalid_argument for an empty reader, sender or clock.
    CCrawlCollaborators(CCrawlProgressOutlets outlets, CrawlPreferencesReader readPreferences,
                        CrawlMailSender sendMail, CrawlClock clock);

    CCrawlProgressOutlets outlets;
    CrawlPreferencesReader readPreferences;
    CrawlMailSender sendMail;
    CrawlClock clock;
    // The start check's answer for the start URL, taken by the crawl's first
    // fetch of it; empty when no check ran.
    CStartAnswer startAnswer;
};

// The program's own: the preference store and the settings object, mails
// through the settings' account with their outcome in the application log,
// and the system clock; the progress shows through `outlets`, and the crawl
// takes `startAnswer` for its start URL.
CCrawlCollaborators StandardCrawlCollaborators(CCrawlProgressOutlets outlets, CStartAnswer startAnswer = {});
