// Where a class or layout was registered ("grabber_layout.cpp:85"), so a
// refused second registration can name both owners.
#pragma once

#include <source_location>
#include <string>

inline std::string RegistrationSite(const std::source_location& where)
{
    std::string file = where.file_name();
    return file.substr(file.find_last_of('/') + 1) + ":" + std::to_string(where.line());
}
