#pragma once

#include "core/DaySummary.h"

#include <optional>
#include <string>
#include <vector>

namespace kestrove {

// One judged sentence of a day or week review.
struct ReviewLine
{
    enum class Tone
    {
        good,
        watch,
        fix
    };

    std::string text;
    Tone tone = Tone::good;

    const std::string& id() const { return text; }
    bool operator==(const ReviewLine&) const = default;
};

// The evening review of a day: fixes first, then one piece of praise, then what to watch,
// then the remaining praise, at most `limit` lines.
namespace DayReview {

struct BestHour
{
    int hour = 0;
    double seconds = 0;
    bool operator==(const BestHour&) const = default;
};

// `recentDays` are oldest first.
std::vector<ReviewLine> lines(const DaySummary& today, double goalSeconds,
                              const std::vector<DayTotal>& recentDays, int limit);
// The hour with the most deep seconds (the earliest among equals), if it holds 300 s or more.
std::optional<BestHour> bestHour(const DaySummary& summary);

} // namespace DayReview

// The review of a week's days against the goal and the week before.
namespace WeekReview {

// Weekday names are in `locale` (the user's when empty).
std::vector<ReviewLine> lines(const std::vector<DayTotal>& days, double goalSeconds,
                              const std::vector<DayTotal>& previousWeek, int limit,
                              const std::string& locale = {});

} // namespace WeekReview
} // namespace kestrove
