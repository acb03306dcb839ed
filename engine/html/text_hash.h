// Hash containers of texts that are looked up by std::string_view without
// making a std::string for every look-up.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

// Not noexcept on purpose: the standard library then keeps each key's hash
// in its node, so a look-up among URLs that share long prefixes compares
// hashes before texts and walks a bucket without hashing every key in it.
struct CTextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

template <typename Value>
using TextMap = std::unordered_map<std::string, Value, CTextHash, std::equal_to<>>;
using TextSet = std::unordered_set<std::string, CTextHash, std::equal_to<>>;
