// The word-at-a-time questions must answer as a byte-by-byte look does, for
// every byte value in every position and for words that mix them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "foundation/text/ascii_words.h"

namespace {

std::uint64_t Word(const unsigned char (&bytes)[8])
{
    std::uint64_t word;
    std::memcpy(&word, bytes, 8);
    return word;
}

bool VisibleByBytes(const unsigned char (&bytes)[8])
{
    for (unsigned char c : bytes)
        if (c <= 0x20 || c >= 0x7F) return false;
    return true;
}

bool ControlByBytes(const unsigned char (&bytes)[8])
{
    for (unsigned char c : bytes)
        if (c < 0x20 || c == 0x7F) return true;
    return false;
}

TEST(AsciiWords, AnswerAsAByteByByteLook)
{
    unsigned char bytes[8];
    const auto check = [&] {
        const std::uint64_t word = Word(bytes);
        EXPECT_EQ(AllVisibleAscii(word), VisibleByBytes(bytes));
        EXPECT_EQ(HasControl(word), ControlByBytes(bytes));
        for (const int value : {0x00, 0x20, 0x7F, 0xFF, 0x61}) {
            const auto probe = static_cast<unsigned char>(value);
            std::uint64_t expected = 0;
            for (int i = 0; i < 8; ++i)
                if (bytes[i] == probe) expected |= std::uint64_t{0x80} << (8 * i);
            EXPECT_EQ(BytesEqual(word, probe), expected);
        }
    };
    // Every value in every position, among letters and among high bytes.
    for (const int filler : {0x61, 0xFF, 0x00})
        for (int at = 0; at < 8; ++at)
            for (int value = 0; value < 256; ++value) {
                std::memset(bytes, filler, 8);
                bytes[at] = static_cast<unsigned char>(value);
                SCOPED_TRACE(testing::Message() << "filler " << filler << " at " << at << " value " << value);
                check();
            }
    // Mixed words, drawn from the boundary values.
    const unsigned char edges[] = {0x00, 0x1F, 0x20, 0x21, 0x7E, 0x7F, 0x80, 0xFE, 0xFF, 'a'};
    std::uint32_t state = 12345;
    for (int round = 0; round < 20000; ++round) {
        for (unsigned char& b : bytes) {
            state = state * 1103515245u + 12345u;
            b = edges[(state >> 16) % sizeof edges];
        }
        check();
    }
}

}  // namespace
