// Questions asked of eight bytes of text at once, loaded into a 64-bit word
// with memcpy: scans where most bytes need nothing go a word at a time.
// No carry or borrow crosses from one byte into a byte it could wrongly
// clear, so "some byte is ..." is answered exactly.
#pragma once

#include <cstdint>

inline constexpr std::uint64_t kByteOnes = 0x0101010101010101ull;
inline constexpr std::uint64_t kByteHighs = 0x8080808080808080ull;

// Bit 7 of each byte of `word` that is `byte`, of no other.
[[nodiscard]] inline std::uint64_t BytesEqual(std::uint64_t word, unsigned char byte)
{
    constexpr std::uint64_t kLows = ~kByteHighs;
    const std::uint64_t x = word ^ (byte * kByteOnes);
    return ~(((x & kLows) + kLows) | x | kLows);
}

// True when some byte of `word` is a control char (below 0x20, or 0x7F).
[[nodiscard]] inline bool HasControl(std::uint64_t word)
{
    const std::uint64_t below = (word - 0x20 * kByteOnes) & ~word & kByteHighs;
    return (below | BytesEqual(word, 0x7F)) != 0;
}

// True when every byte of `word` is printable ASCII other than the blank
// (0x21 to 0x7E).
[[nodiscard]] inline bool AllVisibleAscii(std::uint64_t word)
{
    const std::uint64_t below = (word - 0x21 * kByteOnes) & ~word & kByteHighs;
    const std::uint64_t above = ((word + kByteOnes) | word) & kByteHighs;
    return (below | above) == 0;
}
