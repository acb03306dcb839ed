#include "foundation/system/date_text.h"

#include <ctime>
#include <string>

namespace {

// "%-d" drops the day's padding; "%X" is the locale's time, which carries
// the seconds in every locale glibc ships.
void FormatLocal(std::int64_t seconds, const char* dateFormat, CFixedString255& text)
{
    std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr) {
        text = "";
        return;
    }
    std::string format = std::string(dateFormat) + ", %X";
    char buffer[256];
    std::size_t length = std::strftime(buffer, sizeof buffer, format.c_str(), &local);
    buffer[length] = '\0';
    text = buffer;
}

}  // namespace

void FormatDateTime(std::int64_t seconds, CFixedString255& text)
{
    FormatLocal(seconds, "%a %-d %b %Y", text);
}

void FormatCurrentDateTime(CFixedString255& text)
{
    FormatLocal(static_cast<std::int64_t>(std::time(nullptr)), "%A %-d %B %Y", text);
}
