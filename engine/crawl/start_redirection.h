// One redirection step of a start URL, taken by the windows before a grab
// starts (up to 11 times) and by the form capture: a META refresh of the
// start page, else the Location of its headers.
#pragma once

#include <cstddef>
#include <string>

class CConfiguration;

// The head of a start page in which FollowRedirection looks for a refresh.
inline constexpr std::size_t kStartRedirectionWindow = 256 * 1024;

// True, once, when FollowRedirection found `url` silent for its time-out a
// short while ago.
bool TakeUnansweredStart(const std::string& url);

// True, once, with the start page's response header block and whole body,
// when FollowRedirection read all of `url`'s page a short while ago and it
// led nowhere else: the crawl's first fetch of it takes this answer instead
// of asking the server a second time.
bool TakeFetchedStart(const std::string& url, std::string& rawHeader, std::string& body);

// GET of `ioURL` with the configuration's user agent, site login and
// time-out, reading no more of the body than a META refresh can be found in
// (kStartRedirectionWindow bytes), so a large start page is not downloaded
// for it; nothing changes unless it answers 200, 301 or 302. Then the
// page's META refresh target, else the Location, resolved against the URL,
// becomes `ioURL`. True when `ioURL` changed.
//
// A start URL that does not answer within the time-out is noted, and the
// crawl that starts with it next takes that for its first attempt
// (TakeUnansweredStart) instead of waiting a second time.
bool FollowRedirection(const CConfiguration& configuration, std::string& ioURL);

// Follows the start URL's redirections step by step, at most `maxSteps`,
// and returns the number taken. The configuration's logins (general, site
// and realm) belong to the host the user named: once a step leads to another
// host or port they are cleared from `configuration`, which must be the
// grab's own copy, so that neither the later steps nor the crawl send them
// there.
int FollowStartRedirections(CConfiguration& configuration, std::string& ioURL, int maxSteps);
