#include "tests/support/json_value.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace testsupport {

namespace {

const JsonValue& NullValue()
{
    static const JsonValue null;
    return null;
}

void AppendUtf8(std::string& out, unsigned long code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void AppendQuoted(std::string& out, const std::string& text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                out += "\\u00";
                out += kHex[byte >> 4];
                out += kHex[byte & 15];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

class Parser {
public:
    explicit Parser(std::string_view text) : mText(text) {}

    JsonValue ParseDocument()
    {
        JsonValue value = ParseValue(0);
        SkipSpace();
        if (mPos != mText.size()) Fail("text after the value");
        return value;
    }

private:
    static constexpr int kDepthLimit = 200;

    [[noreturn]] void Fail(const char* what) const
    {
        throw std::runtime_error(std::string("JSON: ") + what + " at offset " + std::to_string(mPos));
    }

    void SkipSpace()
    {
        while (mPos < mText.size() &&
               (mText[mPos] == ' ' || mText[mPos] == '\t' || mText[mPos] == '\n' || mText[mPos] == '\r'))
            ++mPos;
    }

    bool Consume(std::string_view word)
    {
        if (mText.substr(mPos, word.size()) != word) return false;
        mPos += word.size();
        return true;
    }

    JsonValue ParseValue(int depth)
    {
        if (depth > kDepthLimit) Fail("nesting too deep");
        SkipSpace();
        if (mPos >= mText.size()) Fail("unexpected end");
        char c = mText[mPos];
        if (c == '{') return ParseObject(depth);
        if (c == '[') return ParseArray(depth);
        if (c == '"') return JsonValue(ParseString());
        if (Consume("true")) return JsonValue(true);
        if (Consume("false")) return JsonValue(false);
        if (Consume("null")) return JsonValue();
        return JsonValue(ParseNumber());
    }

    JsonValue ParseObject(int depth)
    {
        ++mPos;
        JsonValue::Object members;
        SkipSpace();
        if (mPos < mText.size() && mText[mPos] == '}') {
            ++mPos;
            return JsonValue(std::move(members));
        }
        for (;;) {
            SkipSpace();
            if (mPos >= mText.size() || mText[mPos] != '"') Fail("expected a member name");
            std::string key = ParseString();
            SkipSpace();
            if (mPos >= mText.size() || mText[mPos] != ':') Fail("expected ':'");
            ++mPos;
            members.emplace_back(std::move(key), ParseValue(depth + 1));
            SkipSpace();
            if (mPos < mText.size() && mText[mPos] == ',') { ++mPos; continue; }
            if (mPos < mText.size() && mText[mPos] == '}') { ++mPos; break; }
            Fail("expected ',' or '}'");
        }
        return JsonValue(std::move(members));
    }

    JsonValue ParseArray(int depth)
    {
        ++mPos;
        JsonValue::Array items;
        SkipSpace();
        if (mPos < mText.size() && mText[mPos] == ']') {
            ++mPos;
            return JsonValue(std::move(items));
        }
        for (;;) {
            items.push_back(ParseValue(depth + 1));
            SkipSpace();
            if (mPos < mText.size() && mText[mPos] == ',') { ++mPos; continue; }
            if (mPos < mText.size() && mText[mPos] == ']') { ++mPos; break; }
            Fail("expected ',' or ']'");
        }
        return JsonValue(std::move(items));
    }

    unsigned long ParseHex4()
    {
        if (mPos + 4 > mText.size()) Fail("short \\u escape");
        unsigned long code = 0;
        auto result = std::from_chars(mText.data() + mPos, mText.data() + mPos + 4, code, 16);
        if (result.ptr != mText.data() + mPos + 4) Fail("bad \\u escape");
        mPos += 4;
        return code;
    }

    std::string ParseString()
    {
        ++mPos;
        std::string out;
        for (;;) {
            if (mPos >= mText.size()) Fail("unterminated string");
            char c = mText[mPos++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) Fail("control character in string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (mPos >= mText.size()) Fail("unterminated escape");
            char escape = mText[mPos++];
            switch (escape) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                unsigned long code = ParseHex4();
                if (code >= 0xD800 && code < 0xDC00 && Consume("\\u")) {
                    unsigned long low = ParseHex4();
                    if (low < 0xDC00 || low >= 0xE000) Fail("bad surrogate pair");
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                } else if (code >= 0xD800 && code < 0xE000) {
                    Fail("lone surrogate");
                }
                AppendUtf8(out, code);
                break;
            }
            default: Fail("unknown escape");
            }
        }
    }

    double ParseNumber()
    {
        std::size_t start = mPos;
        if (mPos < mText.size() && mText[mPos] == '-') ++mPos;
        while (mPos < mText.size()) {
            char c = mText[mPos];
            if ((c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-')
                ++mPos;
            else
                break;
        }
        double value = 0;
        auto result = std::from_chars(mText.data() + start, mText.data() + mPos, value);
        if (start == mPos || result.ec != std::errc() || result.ptr != mText.data() + mPos)
            Fail("bad value");
        return value;
    }

    std::string_view mText;
    std::size_t mPos = 0;
};

}  // namespace

bool JsonValue::AsBool() const
{
    if (!IsBool()) throw std::runtime_error("JSON value is not a boolean");
    return std::get<bool>(mValue);
}

double JsonValue::AsNumber() const
{
    if (!IsNumber()) throw std::runtime_error("JSON value is not a number");
    return std::get<double>(mValue);
}

long long JsonValue::AsInteger() const
{
    return std::llround(AsNumber());
}

const std::string& JsonValue::AsString() const
{
    if (!IsString()) throw std::runtime_error("JSON value is not a string");
    return std::get<std::string>(mValue);
}

const JsonValue::Array& JsonValue::AsArray() const
{
    if (!IsArray()) throw std::runtime_error("JSON value is not an array");
    return std::get<Array>(mValue);
}

const JsonValue::Object& JsonValue::AsObject() const
{
    if (!IsObject()) throw std::runtime_error("JSON value is not an object");
    return std::get<Object>(mValue);
}

const JsonValue& JsonValue::operator[](std::string_view key) const
{
    if (!IsObject()) return NullValue();
    for (const auto& [name, value] : std::get<Object>(mValue))
        if (name == key) return value;
    return NullValue();
}

bool JsonValue::Has(std::string_view key) const
{
    if (!IsObject()) return false;
    for (const auto& member : std::get<Object>(mValue))
        if (member.first == key) return true;
    return false;
}

void JsonValue::Set(std::string key, JsonValue value)
{
    if (IsNull()) mValue = Object();
    Object& members = std::get<Object>(mValue);
    for (auto& member : members) {
        if (member.first == key) {
            member.second = std::move(value);
            return;
        }
    }
    members.emplace_back(std::move(key), std::move(value));
}

std::string JsonValue::Serialize() const
{
    std::string out;
    if (IsNull()) {
        out = "null";
    } else if (IsBool()) {
        out = std::get<bool>(mValue) ? "true" : "false";
    } else if (IsNumber()) {
        double number = std::get<double>(mValue);
        if (!std::isfinite(number)) throw std::runtime_error("JSON cannot hold " + std::to_string(number));
        char buffer[64];
        auto result = (number == std::trunc(number) && std::fabs(number) < 1e15)
                          ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(number))
                          : std::to_chars(buffer, buffer + sizeof buffer, number);
        out.assign(buffer, result.ptr);
    } else if (IsString()) {
        AppendQuoted(out, std::get<std::string>(mValue));
    } else if (IsArray()) {
        out += '[';
        const char* separator = "";
        for (const auto& item : std::get<Array>(mValue)) {
            out += separator;
            out += item.Serialize();
            separator = ",";
        }
        out += ']';
    } else {
        out += '{';
        const char* separator = "";
        for (const auto& [key, value] : std::get<Object>(mValue)) {
            out += separator;
            AppendQuoted(out, key);
            out += ':';
            out += value.Serialize();
            separator = ",";
        }
        out += '}';
    }
    return out;
}

JsonValue JsonValue::Parse(std::string_view text)
{
    return Parser(text).ParseDocument();
}

bool IsValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int extra;
        unsigned long code;
        unsigned long least;
        if ((lead & 0xE0) == 0xC0) { extra = 1; code = lead & 0x1F; least = 0x80; }
        else if ((lead & 0xF0) == 0xE0) { extra = 2; code = lead & 0x0F; least = 0x800; }
        else if ((lead & 0xF8) == 0xF0) { extra = 3; code = lead & 0x07; least = 0x10000; }
        else return false;
        if (bytes.size() - i <= static_cast<std::size_t>(extra)) return false;
        for (int k = 1; k <= extra; ++k) {
            unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) return false;
        i += extra + 1;
    }
    return true;
}

}  // namespace testsupport
