#include "engine/crawl/elapsed_time.h"

#include <ctime>

namespace {

void AppendUnit(std::string& text, std::int64_t count, const char* one, const char* many)
{
    text += std::to_string(count);
    text += count == 1 ? one : many;
}

}  // namespace

std::string ElapsedTimeText(std::int64_t seconds)
{
    std::string text;
    if (seconds <= 0) return text;
    if (seconds >= 3600) AppendUnit(text, seconds / 3600, " hr ", " hrs ");
    const std::int64_t minutes = (seconds % 3600) / 60;
    if (minutes >= 1) AppendUnit(text, minutes, " min ", " mins ");
    if (seconds % 60 != 0) AppendUnit(text, seconds % 60, " sec ", " secs ");
    return text;
}

std::string TimeOfDayText(std::int64_t unixSeconds)
{
    const std::time_t time = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
    localtime_r(&time, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

std::int64_t CrawlClockNow() { return static_cast<std::int64_t>(std::time(nullptr)); }
