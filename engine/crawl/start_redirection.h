// One redirection step of a start URL, taken by the windows before a grab
// starts (up to 11 times) and by the form capture: a META refresh of the
// start page, else the Location of its headers.
#pragma once

#include <string>

class CConfiguration;

// HEAD of `ioURL` with the configuration's user agent, site login and
// time-out; nothing changes unless it answers 200, 301 or 302. Then the
// page's META refresh target, else the HEAD's Location, resolved against
// the URL, becomes `ioURL`. True when `ioURL` changed.
bool FollowRedirection(const CConfiguration& configuration, std::string& ioURL);

// Follows the start URL's redirections step by step, at most `maxSteps`,
// and returns the number taken. The configuration's logins (general, site
// and realm) belong to the host the user named: once a step leads to another
// host or port they are cleared from `configuration`, which must be the
// grab's own copy, so that neither the later steps nor the crawl send them
// there.
int FollowStartRedirections(CConfiguration& configuration, std::string& ioURL, int maxSteps);
