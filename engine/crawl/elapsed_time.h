// The elapsed-time text of the crawl's summary, its mails and the last
// message of a grab: 3,723 seconds read "1 hr 2 mins 3 secs ", each
// unit followed by one blank; units that are 0 are left out, so 0 seconds
// give the empty text.
#pragma once

#include <cstdint>
#include <string>

std::string ElapsedTimeText(std::int64_t seconds);

// The local time of day with seconds ("09:05:03") for the time panes.
std::string TimeOfDayText(std::int64_t unixSeconds);

// Clock seconds since 1970: the system clock a crawl is normally handed.
[[nodiscard]] std::int64_t CrawlClockNow();
