// Builds small binary property lists byte by byte, for the readers' tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Objects are raw encoded bytes; refs and offsets are one byte each.
inline std::string BinaryPlist(const std::vector<std::string>& objects, std::uint8_t top = 0)
{
    std::string bytes = "bplist00";
    std::vector<std::uint8_t> offsets;
    for (const std::string& object : objects) {
        offsets.push_back(static_cast<std::uint8_t>(bytes.size()));
        bytes += object;
    }
    std::size_t table = bytes.size();
    for (std::uint8_t offset : offsets) bytes += static_cast<char>(offset);
    std::string trailer(32, '\0');
    trailer[6] = 1;
    trailer[7] = 1;
    trailer[15] = static_cast<char>(objects.size());
    trailer[23] = static_cast<char>(top);
    trailer[31] = static_cast<char>(table);
    return bytes + trailer;
}

// An ASCII string object.
inline std::string AsciiObject(const std::string& text)
{
    std::string object;
    if (text.size() < 15) {
        object += static_cast<char>(0x50 | text.size());
    } else {
        object += '\x5F';
        object += '\x10';
        object += static_cast<char>(text.size());
    }
    return object + text;
}

// A UTF-16 string object from ASCII text (each byte widened).
inline std::string Utf16Object(const std::string& text)
{
    std::string object(1, static_cast<char>(0x60 | text.size()));
    for (char c : text) {
        object += '\0';
        object += c;
    }
    return object;
}

// {"URL": <value object>} as a whole list.
inline std::string WeblocPlist(const std::string& valueObject)
{
    return BinaryPlist({std::string("\xD1\x01\x02", 3), AsciiObject("URL"), valueObject});
}
