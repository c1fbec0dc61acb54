#pragma once

#include "ViewLogic/Charts/BarChartModel.h"
#include "ViewLogic/Today/ReviewFigures.h"
#include "core/DaySummary.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestrove {

// The week page's texts, rows and decisions, from the shown week's day totals and project
// totals. Dates are written in `locale` (the user's when empty), in the process's time zone.
namespace WeekTexts {

inline constexpr const char* kNoProjects = "No deep work this week yet.";
inline constexpr const char* kReadFailed = "This week could not be read from the database.";
inline constexpr const char* kDaysTrailing = "click a day to open it";

} // namespace WeekTexts

// The start of the shown week: local midnight of the calendar's first weekday (1 = Sunday,
// 2 = Monday) on or before today, moved `weekOffset` weeks, by calendar days.
Date weekStart(Date now, int weekOffset, int firstWeekday);
// Where the week's project figures stop: the week's end, or now for the current week.
Date weekProjectWindowEnd(Date weekStart, Date now);

struct WeekHeader
{
    std::string eyebrow; // "This week", "Last week", "Week"
    std::string range;   // "Mar 30 – Apr 5"
    bool nextEnabled = false;
    bool shareEnabled = false;
};

double weekTotalDeep(const std::vector<DayTotal>& days);
// Days with at least a minute of deep work.
int weekDaysWithWork(const std::vector<DayTotal>& days);
// The day with the most deep time; the earlier of two equal ones.
std::optional<DayTotal> weekBestDay(const std::vector<DayTotal>& days);
// The entries of `recentDays` in the seven days before `weekStart`.
std::vector<DayTotal> previousWeekDays(const std::vector<DayTotal>& recentDays, Date weekStart);

WeekHeader weekHeader(Date weekStart, int weekOffset, const std::vector<DayTotal>& days,
                      const std::string& locale = {});
// "deep work", "per active day", "best day", "days on goal", "longest streak".
std::vector<StatFigure> weekChips(const std::vector<DayTotal>& days, double goalHours,
                                  int longestStreak, const std::string& locale = {});

// Deep hours per day with the goal line; the bar of the day holding `now` is the current one.
BarChartModel weekChart(const std::vector<DayTotal>& days, double goalHours, Date now,
                        const std::string& locale = {});
// max(largest day + 0.5 h, goal + 1 h).
double weekChartUpperBound(const std::vector<DayTotal>& days, double goalHours);

struct WeekDayRow
{
    Date date = 0;
    std::string weekday;  // "Mon"
    std::string dateText; // "Mar 30"
    double progress = 0;  // deep time ÷ goal, not clamped; 0 without a goal
    std::string duration;
    bool hasDeep = false;

    bool operator==(const WeekDayRow&) const = default;
};

std::vector<WeekDayRow> weekDayRows(const std::vector<DayTotal>& days, double goalHours,
                                    const std::string& locale = {});

struct WeekProjectRow
{
    std::string name;
    std::optional<std::string> color; // absent: the unassigned colour
    bool isUnassigned = false;
    std::string percent;
    std::string duration;

    bool operator==(const WeekProjectRow&) const = default;
};

// The first ten projects, each with its share of the whole week (all rows, at least 1 s).
// `colorOf` gives the colour key of the stored project of a name (ignoring case), if any.
std::vector<WeekProjectRow>
weekProjectRows(const std::vector<TimeShare>& totals,
                const std::function<std::optional<std::string>(const std::string&)>& colorOf);

} // namespace kestrove
