// Four-character codes: commands, broadcast messages, pane identifiers, file
// types and creators are 32-bit values written as four characters ('Mesg').
#pragma once

#include <cstdint>
#include <string>

using FourCharCode = std::uint32_t;

constexpr FourCharCode MakeFourCharCode(const char (&text)[5])
{
    return (static_cast<FourCharCode>(static_cast<unsigned char>(text[0])) << 24) |
           (static_cast<FourCharCode>(static_cast<unsigned char>(text[1])) << 16) |
           (static_cast<FourCharCode>(static_cast<unsigned char>(text[2])) << 8) |
           static_cast<FourCharCode>(static_cast<unsigned char>(text[3]));
}

inline std::string FourCharCodeText(FourCharCode code)
{
    return std::string{static_cast<char>(code >> 24), static_cast<char>(code >> 16),
                       static_cast<char>(code >> 8), static_cast<char>(code)};
}
