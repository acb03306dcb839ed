#include "engine/http/location_value.h"

std::string CleanLocationValue(std::string_view location)
{
    std::string clean;
    clean.reserve(location.size());
    for (const char c : location)
        if (static_cast<unsigned char>(c) > 0x20 && c != 0x7F) clean += c;
    return clean;
}
