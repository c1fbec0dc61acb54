#include "core/MorningGate.h"

#include "core/Calendar.h"
#include "core/NumberFormat.h"

#include <algorithm>
#include <climits>

namespace kestrove {

using JsonCoding::DecodeError;
using JsonCoding::Json;

namespace {

const std::set<int> kEveryDay = {1, 2, 3, 4, 5, 6, 7};

int checkedInt(std::int64_t value, const char* key)
{
    if (value < INT_MIN || value > INT_MAX) {
        throw DecodeError(std::string("key \"") + key + "\": number out of range");
    }
    return static_cast<int>(value);
}

std::set<int> weekdays(const Json& json)
{
    const Json& list = JsonCoding::require(json, "activeWeekdays");
    const char* expected = "key \"activeWeekdays\": expected an array of whole numbers";
    if (!list.is_array()) {
        throw DecodeError(expected);
    }
    std::set<int> days;
    for (const auto& element : list) {
        if (!element.is_number_integer()) {
            throw DecodeError(expected);
        }
        days.insert(checkedInt(element.get<std::int64_t>(), "activeWeekdays"));
    }
    return days;
}

} // namespace

MorningGateConfig::MorningGateConfig(bool enabled, int startHour, int startMinute,
                                     std::set<int> activeWeekdays)
    : enabled(enabled), startHour(std::clamp(startHour, 0, 23)),
      startMinute(std::clamp(startMinute, 0, 59)),
      activeWeekdays(activeWeekdays.empty() ? kEveryDay : std::move(activeWeekdays))
{}

const MorningGateConfig& MorningGateConfig::defaultConfig()
{
    static const MorningGateConfig config(false, 6, 0, kEveryDay);
    return config;
}

std::string MorningGateConfig::startLabel() const
{
    return NumberFormat::padded(startHour, 2) + ":" + NumberFormat::padded(startMinute, 2);
}

bool MorningGateConfig::runsEveryDay() const
{
    return activeWeekdays == kEveryDay;
}

Json MorningGateConfig::toJson() const
{
    Json json = Json::object();
    json["enabled"] = enabled;
    json["startHour"] = startHour;
    json["startMinute"] = startMinute;
    json["activeWeekdays"] = activeWeekdays;
    return json;
}

MorningGateConfig MorningGateConfig::fromJson(const Json& json)
{
    MorningGateConfig config = defaultConfig();
    config.enabled = JsonCoding::requireBool(json, "enabled");
    config.startHour = checkedInt(JsonCoding::requireInteger(json, "startHour"), "startHour");
    config.startMinute = checkedInt(JsonCoding::requireInteger(json, "startMinute"), "startMinute");
    config.activeWeekdays = weekdays(json);
    return config;
}

namespace MorningGate {

Date startTime(Date day, const MorningGateConfig& config)
{
    // From the calendar's fields, not elapsed minutes since midnight: on a day with a clock
    // change a 06:00 gate still opens at 06:00 on the wall clock.
    const DateComponents c = Calendar::components(day);
    return Calendar::date(c.year, c.month, c.day, config.startHour, config.startMinute);
}

bool shouldArm(Date now, const MorningGateConfig& config, bool planCompletedForDay,
               bool skippedForDay)
{
    return config.enabled && !planCompletedForDay && !skippedForDay &&
           config.activeWeekdays.count(Calendar::weekday(now)) > 0 && now >= startTime(now, config);
}

std::string explain(Date now, const MorningGateConfig& config, bool planCompletedForDay,
                    bool skippedForDay)
{
    if (!config.enabled) {
        return "Off. The day is never walled off.";
    }
    if (planCompletedForDay) {
        return "Today is planned. The wall is down until tomorrow.";
    }
    if (skippedForDay) {
        return "You released the wall today. It returns tomorrow.";
    }
    if (config.activeWeekdays.count(Calendar::weekday(now)) == 0) {
        return "Not one of the gate's days. Nothing happens today.";
    }
    if (now < startTime(now, config)) {
        return "Waiting for " + config.startLabel() + ". Working before then is free.";
    }
    return "Armed. The computer is walled off until the 1-2-3 is filled in.";
}

} // namespace MorningGate
} // namespace kestrove
