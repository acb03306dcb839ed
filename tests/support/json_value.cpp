#include "tests/support/json_value.h"

#include <cmath>
#include <stdexcept>

#include <nlohmann/json.hpp>

namespace testsupport {

namespace {

using Json = nlohmann::ordered_json;

constexpr int kDepthLimit = 200;

const JsonValue& NullValue()
{
    static const JsonValue null;
    return null;
}

JsonValue FromJson(const Json& json)
{
    switch (json.type()) {
    case Json::value_t::boolean: return JsonValue(json.get<bool>());
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float: return JsonValue(json.get<double>());
    case Json::value_t::string: return JsonValue(json.get_ref<const std::string&>());
    case Json::value_t::array: {
        JsonValue::Array items;
        items.reserve(json.size());
        for (const Json& item : json) items.push_back(FromJson(item));
        return JsonValue(std::move(items));
    }
    case Json::value_t::object: {
        JsonValue::Object members;
        members.reserve(json.size());
        for (const auto& [key, value] : json.items()) members.emplace_back(key, FromJson(value));
        return JsonValue(std::move(members));
    }
    default: return JsonValue();
    }
}

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

// Whole numbers below 1e15 are written without a fraction, as Python reads them back.
Json JsonValue::ToJson() const
{
    if (IsBool()) return std::get<bool>(mValue);
    if (IsNumber()) {
        const double number = std::get<double>(mValue);
        if (!std::isfinite(number)) throw std::runtime_error("JSON cannot hold " + std::to_string(number));
        if (number == std::trunc(number) && std::fabs(number) < 1e15) return static_cast<long long>(number);
        return number;
    }
    if (IsString()) return std::get<std::string>(mValue);
    if (IsArray()) {
        Json items = Json::array();
        for (const auto& item : std::get<Array>(mValue)) items.push_back(item.ToJson());
        return items;
    }
    if (IsObject()) {
        Json members = Json::object();
        for (const auto& [key, value] : std::get<Object>(mValue)) members[key] = value.ToJson();
        return members;
    }
    return nullptr;
}

std::string JsonValue::Serialize() const
{
    try {
        return ToJson().dump();
    } catch (const Json::exception& error) {
        throw std::runtime_error(std::string("JSON: ") + error.what());
    }
}

JsonValue JsonValue::Parse(std::string_view text)
{
    const Json::parser_callback_t limitDepth = [](int depth, Json::parse_event_t, Json&) {
        if (depth > kDepthLimit) throw std::runtime_error("JSON: nesting too deep");
        return true;
    };
    try {
        return FromJson(Json::parse(text, limitDepth));
    } catch (const Json::exception& error) {
        throw std::runtime_error(std::string("JSON: ") + error.what());
    }
}

}  // namespace testsupport
