// The counters of a crawl, shown while it runs and summed up at its end.
#pragma once

#include <cstdint>

struct CCrawlCounters {
    std::uint32_t unauthorized = 0;
    std::uint32_t errors = 0;
    std::uint32_t files = 0;  // requests made
    std::uint64_t bytes = 0;
    std::uint32_t saved = 0;  // files saved into the mirror: "Total files grabbed"
};
