// One redirection step of a start URL, taken before a grab starts (up to 11
// times, by the windows and the crawl driver) and by the form capture: a
// META refresh of the start page, else the Location of its headers.
#pragma once

#include <cstddef>
#include <string>

#include "engine/crawl/start_answer.h"

class CConfiguration;

// The head of a start page in which FollowRedirection looks for a refresh.
inline constexpr std::size_t kStartRedirectionWindow = 256 * 1024;

// GET of `ioURL` with the configuration's user agent, site login and
// time-out, reading no more of the body than a META refresh can be found in
// (kStartRedirectionWindow bytes), so a large start page is not downloaded
// for it; nothing changes unless it answers 200, 301 or 302. Then the
// page's META refresh target, else the Location, resolved against the URL,
// becomes `ioURL`. True when `ioURL` changed.
//
// When `ioURL` stays as it was, `answer` tells what was learned of it: its
// page when it was read whole (a 200 within the window), or that it did not
// answer within the time-out; otherwise `answer` is empty. The crawl that
// starts with the URL is handed `answer` (CCrawlCollaborators::startAnswer).
bool FollowRedirection(const CConfiguration& configuration, std::string& ioURL, CStartAnswer& answer);
// The same for a caller that only wants the URL (the form capture).
bool FollowRedirection(const CConfiguration& configuration, std::string& ioURL);

// Follows the start URL's redirections step by step, at most `maxSteps`,
// and returns the number taken. The configuration's logins (general, site
// and realm) belong to the host the user named: once a step leads to another
// host or port they are cleared from `configuration`, which must be the
// grab's own copy, so that neither the later steps nor the crawl send them
// there. `answer`, when given, is what the last step learned of `ioURL`
// (empty when the last step still changed it).
[[nodiscard]] int FollowStartRedirections(CConfiguration& configuration, std::string& ioURL, int maxSteps,
                            CStartAnswer* answer = nullptr);
