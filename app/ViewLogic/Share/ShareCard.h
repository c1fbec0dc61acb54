#pragma once

#include "ViewLogic/Today/StripData.h"
#include "core/DaySummary.h"
#include "core/FocusBlockBuilder.h"
#include "core/ProjectRules.h"
#include "core/Segment.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrove {

class Database;

// The day or the week a share card is made of. A week is the half-open range [start, end).
struct SharePeriod
{
    enum class Kind
    {
        day,
        week
    };

    Kind kind = Kind::day;
    Date start = 0; // a day: any instant inside it
    Date end = 0;   // a week only

    static SharePeriod day(Date instant) { return {Kind::day, instant, 0}; }
    static SharePeriod week(Date start, Date end) { return {Kind::week, start, end}; }
    // The calendar week (by the locale's first weekday) that holds `now`.
    static SharePeriod weekOf(Date now, int firstWeekday);
    bool isWeek() const { return kind == Kind::week; }

    bool operator==(const SharePeriod&) const = default;
};

// Everything a share card shows.
struct ShareCardData
{
    std::string title;
    std::string eyebrow;
    double deepSeconds = 0;
    double goalSeconds = 0;
    std::vector<TimeShare> projects; // at most three
    std::string headline;
    std::optional<std::string> subline;
    std::vector<Segment> strip; // a day: its segments, coalesced
    std::optional<StripData::Range> stripRange;
    std::vector<DayTotal> days; // a week: one row per day
    std::optional<FocusBlock> longestBlock;
    int blockCount = 0;
    int streak = 0;
    std::optional<std::string> handle;

    bool operator==(const ShareCardData&) const = default;
};

// A card and the text of the post that goes with it.
struct ShareCard
{
    ShareCardData data;
    std::string postText;
};

// What a card is made of besides the database, taken on the main thread when it is asked for.
struct ShareCardInputs
{
    SharePeriod period;
    Date now = 0;
    // Today's open segment, counted from memory up to `now`; its stored row is left out.
    std::optional<Segment> open;
    std::vector<Project> projects;
    double goalHours = 0;
    // The fourteen days before today as the engine holds them; read from the database when
    // absent (a past day, or no engine).
    std::optional<std::vector<DayTotal>> recentDays;
    Streak streak;
    double graceSeconds = 180;
    std::optional<std::string> handle;
    std::string locale; // dates in this locale; the user's when empty
};

namespace ShareCardTexts {

inline constexpr const char* kDayEyebrowToday = "Deep work · today";
inline constexpr const char* kDayEyebrow = "Deep work";
inline constexpr const char* kWeekEyebrow = "Deep work · this week";
inline constexpr const char* kClosingLine = "Tracked with Kestrove for Linux.";
inline constexpr const char* kBrand = "Kestrove for Linux";
inline constexpr const char* kWhereItWent = "WHERE IT WENT";

} // namespace ShareCardTexts

// Builds the card of `inputs.period` from the database. `excludedID` is the stored row of the
// open segment, left out because `inputs.open` counts it. A failing read counts as empty; the
// card is made of what remains. Runs on the thread that holds `database`.
ShareCard buildShareCard(Database& database, const ShareCardInputs& inputs,
                         std::optional<std::int64_t> excludedID = std::nullopt);

// The week card from already read rows: `segments` of the week up to now, for its blocks.
ShareCard weekCard(const ShareCardInputs& inputs, const std::vector<DayTotal>& days,
                   const std::vector<TimeShare>& projectRows, const std::vector<Segment>& segments);
// The day card from the day's segments (the open one already counted) and the recent days.
ShareCard dayCard(const ShareCardInputs& inputs, const std::vector<Segment>& segments,
                  const std::vector<DayTotal>& recentDays);

// The streak of days on goal, from the totals of the days before today and today's deep time.
Streak goalStreak(const std::vector<DayTotal>& history, double todayDeepSeconds, double goalHours,
                  Date todayStart);

} // namespace kestrove
