#include "core/JsonCoding.h"

#include <cmath>

namespace kestrove::JsonCoding {

namespace {

[[noreturn]] void fail(const char* key, const char* expected)
{
    throw DecodeError(std::string("key \"") + key + "\": expected " + expected);
}

const Json* find(const Json& object, const char* key)
{
    if (!object.is_object()) {
        throw DecodeError("expected an object");
    }
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        return nullptr;
    }
    return &*it;
}

std::int64_t wholeNumber(const Json& value, const char* key)
{
    if (value.is_number_integer()) {
        return value.get<std::int64_t>();
    }
    if (value.is_number_float()) {
        const double d = value.get<double>();
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.2e18) {
            return static_cast<std::int64_t>(d);
        }
    }
    fail(key, "a whole number");
}

} // namespace

Json parse(const std::string& text)
{
    try {
        return Json::parse(text);
    } catch (const Json::exception& e) {
        throw DecodeError(e.what());
    }
}

const Json& require(const Json& object, const char* key)
{
    const Json* value = find(object, key);
    if (!value) {
        throw DecodeError(std::string("key \"") + key + "\" not found");
    }
    return *value;
}

std::string requireString(const Json& object, const char* key)
{
    const Json& value = require(object, key);
    if (!value.is_string()) {
        fail(key, "a string");
    }
    return value.get<std::string>();
}

double requireNumber(const Json& object, const char* key)
{
    const Json& value = require(object, key);
    if (!value.is_number()) {
        fail(key, "a number");
    }
    return value.get<double>();
}

std::int64_t requireInteger(const Json& object, const char* key)
{
    return wholeNumber(require(object, key), key);
}

bool requireBool(const Json& object, const char* key)
{
    const Json& value = require(object, key);
    if (!value.is_boolean()) {
        fail(key, "a boolean");
    }
    return value.get<bool>();
}

Date requireDate(const Json& object, const char* key)
{
    return requireNumber(object, key) + kReferenceDateOffset;
}

std::optional<std::string> optionalString(const Json& object, const char* key)
{
    if (!find(object, key)) {
        return std::nullopt;
    }
    return requireString(object, key);
}

std::optional<double> optionalNumber(const Json& object, const char* key)
{
    if (!find(object, key)) {
        return std::nullopt;
    }
    return requireNumber(object, key);
}

std::optional<std::int64_t> optionalInteger(const Json& object, const char* key)
{
    const Json* value = find(object, key);
    if (!value) {
        return std::nullopt;
    }
    return wholeNumber(*value, key);
}

std::optional<bool> optionalBool(const Json& object, const char* key)
{
    if (!find(object, key)) {
        return std::nullopt;
    }
    return requireBool(object, key);
}

std::optional<Date> optionalDate(const Json& object, const char* key)
{
    if (!find(object, key)) {
        return std::nullopt;
    }
    return requireDate(object, key);
}

} // namespace kestrove::JsonCoding
