// The one way a fuzz target reports a broken invariant: a message and an
// abort, which libFuzzer records as a crash with its input.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

#define FUZZ_CHECK(condition)                                                             \
    do {                                                                                  \
        if (!(condition)) {                                                               \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

inline std::string_view FuzzText(const unsigned char* data, std::size_t size)
{
    return std::string_view(reinterpret_cast<const char*>(data), size);
}
