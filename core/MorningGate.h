#pragma once

#include "core/Date.h"
#include "core/JsonCoding.h"

#include <set>
#include <string>

namespace kestrove {

// When the morning wall goes up: a local time on chosen weekdays (1 = Sunday ... 7 = Saturday).
struct MorningGateConfig
{
    // Clamps the hour to 0...23 and the minute to 0...59; no weekdays means every day.
    MorningGateConfig(bool enabled, int startHour, int startMinute, std::set<int> activeWeekdays);

    // Off, 06:00, every day.
    static const MorningGateConfig& defaultConfig();

    bool enabled;
    int startHour;
    int startMinute;
    std::set<int> activeWeekdays;

    int startMinuteOfDay() const { return startHour * 60 + startMinute; }
    std::string startLabel() const; // "06:00"
    bool runsEveryDay() const;

    JsonCoding::Json toJson() const;
    // Takes the stored values as they stand (no clamping); throws JsonCoding::DecodeError.
    static MorningGateConfig fromJson(const JsonCoding::Json& json);

    bool operator==(const MorningGateConfig&) const = default;
};

// The rule behind the morning wall, in the process's time zone.
namespace MorningGate {

// How long the escape hatch must be held to release the wall.
inline constexpr double kHatchHoldSeconds = 5.0;

// The configured local time on the day of `day`. On a day whose clock skips that time, the
// first minute after the gap; on a day that repeats it, its first occurrence.
Date startTime(Date day, const MorningGateConfig& config);
bool shouldArm(Date now, const MorningGateConfig& config, bool planCompletedForDay,
               bool skippedForDay);
// The one sentence the settings show about the gate's state today.
std::string explain(Date now, const MorningGateConfig& config, bool planCompletedForDay,
                    bool skippedForDay);

} // namespace MorningGate
} // namespace kestrove
