// Base64 encoding (RFC 4648 alphabet, with padding) for mail parts and
// authentication exchanges.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The whole encoding on one line.
std::string EncodeBase64(std::string_view bytes);

// The encoding cut into lines of `lineLength` characters (MIME uses 76),
// each ended by CR LF, the last one included. An empty input gives an empty
// text; a `lineLength` of 0 gives one line.
std::string EncodeBase64Lines(std::string_view bytes, std::size_t lineLength);
