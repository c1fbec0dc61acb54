#pragma once

#include "core/Date.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <stdexcept>
#include <string>

// The JSON conventions shared by every coded value: keys in declaration order, dates as
// seconds since 2001-01-01 UTC, absent optionals omitted, UUIDs as 36 upper-case characters.
namespace kestrove::JsonCoding {

using Json = nlohmann::ordered_json;

struct DecodeError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

inline double encodeDate(Date date)
{
    return date - kReferenceDateOffset;
}

Json parse(const std::string& text); // throws DecodeError

// A required key; throws DecodeError naming the key when it is missing or of another type.
const Json& require(const Json& object, const char* key);
std::string requireString(const Json& object, const char* key);
double requireNumber(const Json& object, const char* key);
// Whole numbers only: 2.5 or "2" are rejected.
std::int64_t requireInteger(const Json& object, const char* key);
bool requireBool(const Json& object, const char* key);
Date requireDate(const Json& object, const char* key);

// An optional key: absent or null gives nullopt; a value of another type throws.
std::optional<std::string> optionalString(const Json& object, const char* key);
std::optional<double> optionalNumber(const Json& object, const char* key);
std::optional<std::int64_t> optionalInteger(const Json& object, const char* key);
std::optional<bool> optionalBool(const Json& object, const char* key);
std::optional<Date> optionalDate(const Json& object, const char* key);

template <typename T>
void putOptional(Json& object, const char* key, const std::optional<T>& value)
{
    if (value) {
        object[key] = *value;
    }
}

inline void putOptionalDate(Json& object, const char* key, const std::optional<Date>& value)
{
    if (value) {
        object[key] = encodeDate(*value);
    }
}

} // namespace kestrove::JsonCoding
