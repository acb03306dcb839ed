// Random inputs for the decoders and the setting reader. Every buffer is
// exactly as long as its text, so a sanitizer build reports any read past it.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "foundation/text/key_value_lines.h"
#include "foundation/text/text_encodings.h"

namespace {

// Mostly the bytes the decoders look at, so escapes and entities are common.
std::string RandomText(std::mt19937& random, std::size_t maxLength)
{
    static const char kBiased[] = "&#;%xX0123456789aAfFgG;amp lt\xA5\r\n ,";
    std::size_t length = random() % (maxLength + 1);
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        if (random() % 4 == 0) text += static_cast<char>(random() % 256);
        else text += kBiased[random() % (sizeof kBiased - 1)];
    }
    return text;
}

std::unique_ptr<char[]> ExactCopy(const std::string& text)
{
    auto copy = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(copy.get(), text.c_str(), text.size() + 1);
    return copy;
}

TEST(EncodingsFuzzTest, DecodersStayInsideTheirBuffers)
{
    std::mt19937 random(0x7ADE);
    const CEntityTable* table = CEntityTable::Shared();
    ASSERT_NE(table, nullptr);
    for (int round = 0; round < 20000; ++round) {
        std::string text = RandomText(random, 40);

        auto destination = std::make_unique<char[]>(text.size() + 1);
        std::size_t decodedLength = URLDecode(text.data(), text.size(), destination.get());
        ASSERT_LE(decodedLength, text.size());
        ASSERT_EQ(URLDecode(text), std::string(destination.get(), decodedLength));

        auto inPlace = ExactCopy(text);
        std::size_t length = DecodeEntities(inPlace.get(), table);
        ASSERT_EQ(length, std::strlen(inPlace.get()));
        ASSERT_LE(length, std::strlen(text.c_str()));
        ASSERT_EQ(DecodeEntities(std::string_view(text.c_str()), table), inPlace.get());

        // Form decoding (each '+' a blank, then the escapes) gives the text
        // back, with NULs kept as written.
        std::string encoded = FormEncode(text);
        ASSERT_TRUE(IsAllURLChars(encoded));
        for (char& c : encoded)
            if (c == '+') c = ' ';
        std::string decoded = URLDecode(encoded);
        std::string nulsAsWritten;
        for (char c : text) nulsAsWritten += c == '\0' ? std::string("%00") : std::string(1, c);
        ASSERT_EQ(decoded, nulsAsWritten);
    }
}

TEST(EncodingsFuzzTest, SettingReaderKeepsTheRestOfTheText)
{
    std::mt19937 random(0x5E771);
    const char* keys[] = {"a ", "amp ", "x ", "#", ","};
    for (int round = 0; round < 5000; ++round) {
        std::string text = RandomText(random, 60);
        if (random() % 2) text = std::string(keys[random() % 5]) + text;
        const char* key = keys[random() % 5];

        CTextBuffer file(text);
        CFixedString255 value;
        bool found = ReadSetting(file, key, value);
        if (!found) {
            ASSERT_EQ(file.str(), text);
            ASSERT_TRUE(value.IsEmpty());
            continue;
        }
        // The text lost exactly one line: key, value and end mark.
        ASSERT_LT(file.str().size(), text.size());
        std::size_t removed = text.size() - file.str().size();
        ASSERT_GE(removed, std::strlen(key) + 2);

        CTextBuffer again(text);
        TPooledList<CFixedString255> list;
        ReadListSetting(again, key, kSettingEndMark, list);
        for (const auto& item : list) ASSERT_EQ(std::strchr(item.c_str(), ','), nullptr);
    }
}

}  // namespace
