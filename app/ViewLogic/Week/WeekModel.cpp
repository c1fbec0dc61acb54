#include "ViewLogic/Week/WeekModel.h"

#include "core/Calendar.h"
#include "core/DateText.h"
#include "core/Duration.h"
#include "core/NumberFormat.h"

#include <algorithm>

namespace kestrove {

namespace {

constexpr double kMinute = 60;
constexpr const char* kDash = "\u2014";
constexpr std::size_t kProjectRows = 10;

} // namespace

Date weekStart(Date now, int weekOffset, int firstWeekday)
{
    const Date today = Calendar::startOfDay(now);
    const int back = ((Calendar::weekday(today) - firstWeekday) % 7 + 7) % 7;
    return Calendar::addingDays(today, -back + weekOffset * 7);
}

Date weekProjectWindowEnd(Date weekStart, Date now)
{
    return std::min(Calendar::addingDays(weekStart, 7), now);
}

double weekTotalDeep(const std::vector<DayTotal>& days)
{
    double total = 0;
    for (const DayTotal& day : days) {
        total += day.deepSeconds;
    }
    return total;
}

int weekDaysWithWork(const std::vector<DayTotal>& days)
{
    return static_cast<int>(std::count_if(
        days.begin(), days.end(), [](const DayTotal& day) { return day.deepSeconds >= kMinute; }));
}

std::optional<DayTotal> weekBestDay(const std::vector<DayTotal>& days)
{
    if (days.empty()) {
        return std::nullopt;
    }
    DayTotal best = days.front();
    for (const DayTotal& day : days) {
        if (day.deepSeconds > best.deepSeconds) {
            best = day;
        }
    }
    return best;
}

std::vector<DayTotal> previousWeekDays(const std::vector<DayTotal>& recentDays, Date weekStart)
{
    const Date previousStart = Calendar::addingDays(weekStart, -7);
    std::vector<DayTotal> result;
    for (const DayTotal& day : recentDays) {
        if (day.date >= previousStart && day.date < weekStart) {
            result.push_back(day);
        }
    }
    return result;
}

WeekHeader weekHeader(Date weekStart, int weekOffset, const std::vector<DayTotal>& days,
                      const std::string& locale)
{
    WeekHeader header;
    header.eyebrow = weekOffset == 0 ? "This week" : weekOffset == -1 ? "Last week" : "Week";
    // The last day shown is the seventh, not the start of the week after.
    const Date lastDay = Calendar::addingDays(Calendar::addingDays(weekStart, 7), -1);
    header.range = DateText::formatted(weekStart, "MMM d", locale) + " \u2013 " +
                   DateText::formatted(lastDay, "MMM d", locale);
    header.nextEnabled = weekOffset < 0;
    header.shareEnabled = weekTotalDeep(days) >= kMinute;
    return header;
}

std::vector<StatFigure> weekChips(const std::vector<DayTotal>& days, double goalHours,
                                  int longestStreak, const std::string& locale)
{
    const double total = weekTotalDeep(days);
    std::vector<StatFigure> chips;
    chips.push_back({"deep work", DurationFormat::hm(total)});

    // The deep time of the active days over their number: a day under a minute is neither
    // counted nor divided by.
    double activeDeep = 0;
    int active = 0;
    for (const DayTotal& day : days) {
        if (day.deepSeconds >= kMinute) {
            activeDeep += day.deepSeconds;
            ++active;
        }
    }
    chips.push_back(
        {"per active day", active > 0 ? DurationFormat::hm(activeDeep / active) : kDash});

    const auto best = weekBestDay(days);
    std::string bestText = kDash;
    if (best && best->deepSeconds > 0) {
        bestText = DateText::formatted(best->date, "EEE", locale) + " \u00b7 " +
                   DurationFormat::hm(best->deepSeconds);
    }
    chips.push_back({"best day", bestText});

    const double goalSeconds = goalHours * 3600;
    const auto onGoal = std::count_if(days.begin(), days.end(), [&](const DayTotal& day) {
        return day.deepSeconds >= goalSeconds;
    });
    chips.push_back({"days on goal", NumberFormat::integer(onGoal) + " / 7"});
    chips.push_back({"longest streak", NumberFormat::integer(longestStreak) + "d"});
    return chips;
}

double weekChartUpperBound(const std::vector<DayTotal>& days, double goalHours)
{
    double largest = 0;
    for (const DayTotal& day : days) {
        largest = std::max(largest, day.deepSeconds / 3600);
    }
    return std::max(largest + 0.5, goalHours + 1.0);
}

BarChartModel weekChart(const std::vector<DayTotal>& days, double goalHours, Date now,
                        const std::string& locale)
{
    BarChartModel chart;
    for (const DayTotal& day : days) {
        ChartBar bar;
        bar.label = DateText::formatted(day.date, "EEE", locale);
        bar.hours = day.deepSeconds / 3600;
        bar.isCurrent = Calendar::isSameDay(day.date, now);
        if (day.deepSeconds >= kMinute) {
            bar.annotation = DurationFormat::hoursDecimal(day.deepSeconds);
        }
        chart.bars.push_back(std::move(bar));
    }
    chart.upperBound = weekChartUpperBound(days, goalHours);
    chart.ticks = BarChartModel::ticksFor(chart.upperBound);
    chart.goalHours = goalHours;
    return chart;
}

std::vector<WeekDayRow> weekDayRows(const std::vector<DayTotal>& days, double goalHours,
                                    const std::string& locale)
{
    const double goalSeconds = goalHours * 3600;
    std::vector<WeekDayRow> rows;
    for (const DayTotal& day : days) {
        WeekDayRow row;
        row.date = day.date;
        row.weekday = DateText::formatted(day.date, "EEE", locale);
        row.dateText = DateText::formatted(day.date, "MMM d", locale);
        row.progress = goalSeconds > 0 ? day.deepSeconds / goalSeconds : 0;
        row.duration = DurationFormat::hm(day.deepSeconds);
        row.hasDeep = day.deepSeconds > 0;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<WeekProjectRow>
weekProjectRows(const std::vector<TimeShare>& totals,
                const std::function<std::optional<std::string>(const std::string&)>& colorOf)
{
    double sum = 0;
    for (const TimeShare& share : totals) {
        sum += share.seconds;
    }
    const double whole = std::max(sum, 1.0);
    std::vector<WeekProjectRow> rows;
    for (std::size_t i = 0; i < totals.size() && i < kProjectRows; ++i) {
        const TimeShare& share = totals[i];
        WeekProjectRow row;
        row.name = share.name;
        row.isUnassigned = share.name == DaySummary::kUnassignedLabel;
        if (!row.isUnassigned && colorOf) {
            row.color = colorOf(share.name);
        }
        row.percent = DurationFormat::percent(share.seconds / whole);
        row.duration = DurationFormat::hm(share.seconds);
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace kestrove
