// A small JSON value: enough to write the peers' scripts and read their logs.
// Parsing and writing are nlohmann-json's; this keeps the tests' simpler interface.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace testsupport {

class JsonValue {
public:
    using Array = std::vector<JsonValue>;
    // Members keep their order, so written scripts read as they were built.
    using Object = std::vector<std::pair<std::string, JsonValue>>;

    JsonValue() = default;
    JsonValue(std::nullptr_t) {}
    JsonValue(bool value) : mValue(value) {}
    JsonValue(int value) : mValue(static_cast<double>(value)) {}
    JsonValue(long long value) : mValue(static_cast<double>(value)) {}
    JsonValue(std::size_t value) : mValue(static_cast<double>(value)) {}
    JsonValue(double value) : mValue(value) {}
    JsonValue(const char* value) : mValue(std::string(value)) {}
    JsonValue(std::string value) : mValue(std::move(value)) {}
    JsonValue(std::string_view value) : mValue(std::string(value)) {}
    JsonValue(Array value) : mValue(std::move(value)) {}
    JsonValue(Object value) : mValue(std::move(value)) {}

    bool IsNull() const { return std::holds_alternative<std::nullptr_t>(mValue); }
    bool IsBool() const { return std::holds_alternative<bool>(mValue); }
    bool IsNumber() const { return std::holds_alternative<double>(mValue); }
    bool IsString() const { return std::holds_alternative<std::string>(mValue); }
    bool IsArray() const { return std::holds_alternative<Array>(mValue); }
    bool IsObject() const { return std::holds_alternative<Object>(mValue); }

    // Each throws std::runtime_error when the value has another type.
    bool AsBool() const;
    double AsNumber() const;
    long long AsInteger() const;
    const std::string& AsString() const;
    const Array& AsArray() const;
    const Object& AsObject() const;

    // The member named `key` of an object; a null value when absent.
    const JsonValue& operator[](std::string_view key) const;
    bool Has(std::string_view key) const;
    // Adds or replaces a member (makes a null value an object first).
    void Set(std::string key, JsonValue value);

    // Compact JSON. Strings are written as their bytes (UTF-8 expected),
    // with quotes, backslashes and control characters escaped.
    std::string Serialize() const;
    // Throws std::runtime_error with the offset of the first fault.
    static JsonValue Parse(std::string_view text);

private:
    nlohmann::ordered_json ToJson() const;

    std::variant<std::nullptr_t, bool, double, std::string, Array, Object> mValue;
};

}  // namespace testsupport
