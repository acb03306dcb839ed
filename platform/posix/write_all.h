// Writing a whole buffer to a descriptor.
#pragma once

#include <cstddef>
#include <string_view>

// Writes every byte to `fd` at its offset, retrying short and interrupted
// writes: 0 or a negative errno value.
int WriteAll(int fd, const void* bytes, std::size_t count);
inline int WriteAll(int fd, std::string_view bytes) { return WriteAll(fd, bytes.data(), bytes.size()); }
