// Base64 (RFC 4648, with padding) for the peers' scripts and logs.
#pragma once

#include <string>
#include <string_view>

namespace testsupport {

std::string Base64Encode(std::string_view bytes);
// Throws std::runtime_error on a character outside the alphabet.
std::string Base64Decode(std::string_view text);

}  // namespace testsupport
