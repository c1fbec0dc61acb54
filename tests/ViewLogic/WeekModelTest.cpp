#include "ViewLogic/Week/WeekModel.h"

#include "core/Calendar.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

constexpr int kSunday = 1;
constexpr int kMonday = 2;

std::vector<DayTotal> week(Date start, std::vector<double> deepSeconds)
{
    std::vector<DayTotal> days;
    for (std::size_t i = 0; i < deepSeconds.size(); ++i) {
        days.push_back(
            {Calendar::addingDays(start, static_cast<int>(i)), deepSeconds[i], deepSeconds[i] * 2});
    }
    return days;
}

std::string chip(const std::vector<StatFigure>& chips, const std::string& label)
{
    for (const StatFigure& figure : chips) {
        if (figure.label == label) {
            return figure.value;
        }
    }
    return "(missing)";
}

} // namespace

TEST(WeekModelTest, WeekStartsAtMidnightOfTheLocalesFirstWeekday)
{
    ScopedTimeZone tz("America/New_York");
    const struct
    {
        Date now;
        int offset;
        int firstWeekday;
        Date start;
    } cases[] = {
        // Sunday 13 December 2026, evening.
        {Calendar::date(2026, 12, 13, 21, 0), 0, kMonday, Calendar::date(2026, 12, 7)},
        {Calendar::date(2026, 12, 13, 21, 0), 0, kSunday, Calendar::date(2026, 12, 13)},
        // Monday just after midnight.
        {Calendar::date(2026, 12, 14, 0, 1), 0, kMonday, Calendar::date(2026, 12, 14)},
        {Calendar::date(2026, 12, 14, 0, 1), 0, kSunday, Calendar::date(2026, 12, 13)},
        // Saturday, and the weeks before.
        {Calendar::date(2026, 12, 12, 12, 0), -1, kMonday, Calendar::date(2026, 11, 30)},
        {Calendar::date(2026, 12, 12, 12, 0), -2, kSunday, Calendar::date(2026, 11, 22)},
        // Across the year boundary.
        {Calendar::date(2027, 1, 2, 9, 0), 0, kMonday, Calendar::date(2026, 12, 28)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(weekStart(c.now, c.offset, c.firstWeekday), c.start)
            << Calendar::dayString(c.now) << " offset " << c.offset;
    }
}

// Weeks are counted in calendar days: across a clock change each edge is still a midnight.
TEST(WeekModelTest, ADaylightSavingWeekKeepsItsMidnights)
{
    ScopedTimeZone tz("Europe/Berlin");
    // Clocks went back on Sunday 25 October 2026; the week from Monday 19 October has 169 h.
    const Date start = weekStart(Calendar::date(2026, 10, 25, 18, 0), 0, kMonday);
    EXPECT_EQ(start, Calendar::date(2026, 10, 19));
    const Date end = Calendar::addingDays(start, 7);
    EXPECT_EQ(Calendar::hour(end), 0);
    EXPECT_EQ(end - start, 169 * 3600.0);
    EXPECT_EQ(weekHeader(start, 0, {}, "en_US").range, "Oct 19 \u2013 Oct 25");
    // The week after the change starts at its own midnight, seven calendar days on.
    EXPECT_EQ(weekStart(Calendar::date(2026, 10, 26, 0, 30), 0, kMonday), end);
    // Clocks went forward on Sunday 29 March 2026: 167 h.
    const Date spring = weekStart(Calendar::date(2026, 3, 29, 12, 0), 0, kMonday);
    EXPECT_EQ(Calendar::addingDays(spring, 7) - spring, 167 * 3600.0);
    EXPECT_EQ(weekProjectWindowEnd(spring, Calendar::date(2026, 3, 29, 12, 0)),
              Calendar::date(2026, 3, 29, 12, 0));
    EXPECT_EQ(weekProjectWindowEnd(spring, Calendar::date(2026, 4, 29)),
              Calendar::addingDays(spring, 7));
}

TEST(WeekModelTest, HeaderNamesTheWeekAndItsSevenDays)
{
    ScopedTimeZone tz("Europe/Berlin");
    const struct
    {
        Date start;
        int offset;
        const char* eyebrow;
        const char* range;
        bool nextEnabled;
    } cases[] = {
        {Calendar::date(2026, 3, 30), 0, "This week", "Mar 30 \u2013 Apr 5", false},
        {Calendar::date(2026, 12, 28), -1, "Last week", "Dec 28 \u2013 Jan 3", true},
        {Calendar::date(2026, 12, 6), -2, "Week", "Dec 6 \u2013 Dec 12", true},
        {Calendar::date(2026, 12, 6), -40, "Week", "Dec 6 \u2013 Dec 12", true},
    };
    for (const auto& c : cases) {
        const WeekHeader header = weekHeader(c.start, c.offset, {}, "en_US");
        EXPECT_EQ(header.eyebrow, c.eyebrow);
        EXPECT_EQ(header.range, c.range);
        EXPECT_EQ(header.nextEnabled, c.nextEnabled);
    }
}

TEST(WeekModelTest, ChipsAndShareFollowTheWeeksDeepTime)
{
    ScopedTimeZone tz("Europe/Berlin");
    const Date monday = Calendar::date(2026, 12, 7);
    const struct
    {
        std::vector<double> deep;
        const char* total;
        const char* perActiveDay;
        const char* best;
        const char* onGoal;
        bool share;
    } cases[] = {
        {{0, 0, 0, 0, 0, 0, 0}, "0m", "\u2014", "\u2014", "0 / 7", false},
        {{}, "0m", "\u2014", "\u2014", "0 / 7", false},
        {{0, 59, 0, 0, 0, 0, 0}, "<1m", "\u2014", "Tue \u00b7 <1m", "0 / 7", false},
        // The 30 s day neither counts as active nor adds to the active days' time.
        {{90, 30, 0, 0, 0, 0, 0}, "2m", "1m", "Mon \u00b7 1m", "0 / 7", true},
        // Two equal best days: the earlier one.
        {{3600, 5 * 3600, 0, 5 * 3600, 4 * 3600, 0, 30},
         "15h",
         "3h 45m",
         "Tue \u00b7 5h",
         "3 / 7",
         true},
    };
    for (const auto& c : cases) {
        const auto days = week(monday, c.deep);
        const auto chips = weekChips(days, 4, 6, "en_US");
        ASSERT_EQ(chips.size(), 5u);
        EXPECT_EQ(chip(chips, "deep work"), c.total);
        EXPECT_EQ(chip(chips, "per active day"), c.perActiveDay);
        EXPECT_EQ(chip(chips, "best day"), c.best);
        EXPECT_EQ(chip(chips, "days on goal"), c.onGoal);
        EXPECT_EQ(chip(chips, "longest streak"), "6d");
        EXPECT_EQ(weekHeader(monday, 0, days, "en_US").shareEnabled, c.share);
    }
}

TEST(WeekModelTest, PreviousWeekIsTheSevenDaysBeforeTheStart)
{
    ScopedTimeZone tz("Europe/Berlin");
    const Date monday = Calendar::date(2026, 11, 2); // the Monday after the clocks went back
    const auto recent = week(Calendar::addingDays(monday, -9), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    const auto previous = previousWeekDays(recent, monday);
    ASSERT_EQ(previous.size(), 7u);
    EXPECT_EQ(previous.front().date, Calendar::date(2026, 10, 26));
    EXPECT_EQ(previous.back().deepSeconds, 9);
    EXPECT_TRUE(previousWeekDays(recent, Calendar::addingDays(monday, -30)).empty());
}

TEST(WeekModelTest, ChartBoundsAndAnnotations)
{
    ScopedTimeZone tz("Europe/Berlin");
    const Date monday = Calendar::date(2026, 12, 7);
    const Date wednesdayNoon = Calendar::date(2026, 12, 9, 12, 0);
    const struct
    {
        std::vector<double> deep;
        double goal;
        double upper;
    } bounds[] = {
        {{0, 0, 0, 0, 0, 0, 0}, 4, 5},
        {{}, 4, 5},
        {{0, 6 * 3600, 0, 0, 0, 0, 0}, 4, 6.5},
        {{0, 8.4 * 3600, 0, 0, 0, 0, 0}, 8, 9},
        {{}, -2, 0.5},
    };
    for (const auto& c : bounds) {
        const BarChartModel chart = weekChart(week(monday, c.deep), c.goal, wednesdayNoon, "en_US");
        EXPECT_NEAR(chart.upperBound, c.upper, 1e-9);
        EXPECT_EQ(chart.bars.size(), c.deep.size());
        ASSERT_TRUE(chart.goalHours);
        EXPECT_EQ(*chart.goalHours, c.goal);
        EXPECT_FALSE(chart.ticks.empty());
    }

    const BarChartModel chart = weekChart(
        week(monday, {59, 45 * 60, 2.5 * 3600, 11 * 3600, 0, 0, 0}), 4, wednesdayNoon, "en_US");
    const std::vector<std::string> annotations = {"", "45m", "2.5h", "11h", "", "", ""};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(chart.bars[i].annotation, annotations[i]) << i;
        // Only the day holding now is the current one.
        EXPECT_EQ(chart.bars[i].isCurrent, i == 2) << i;
    }
    EXPECT_EQ(chart.bars[0].label, "Mon");
    EXPECT_EQ(chart.bars[6].label, "Sun");
    // In a past week no bar is the current one.
    for (const ChartBar& bar : weekChart(week(monday, {1, 2, 3}), 4, monday + 30 * 86400).bars) {
        EXPECT_FALSE(bar.isCurrent);
    }
}

TEST(WeekModelTest, DayRowsCarryProgressAgainstTheGoal)
{
    ScopedTimeZone tz("Europe/Berlin");
    const auto days = week(Calendar::date(2026, 12, 7), {0, 2 * 3600, 8 * 3600});
    const auto rows = weekDayRows(days, 4, "en_US");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].weekday, "Mon");
    EXPECT_EQ(rows[0].dateText, "Dec 7");
    EXPECT_EQ(rows[0].duration, "0m");
    EXPECT_FALSE(rows[0].hasDeep);
    EXPECT_DOUBLE_EQ(rows[1].progress, 0.5);
    EXPECT_DOUBLE_EQ(rows[2].progress, 2.0); // not clamped here
    for (const double goal : {0.0, -1.0}) {
        for (const WeekDayRow& row : weekDayRows(days, goal)) {
            EXPECT_EQ(row.progress, 0);
        }
    }
}

TEST(WeekModelTest, ProjectRowsShareTheWholeWeek)
{
    std::vector<TimeShare> totals;
    for (int i = 0; i < 12; ++i) {
        totals.push_back({"Project " + std::to_string(i), 1000.0 - i * 10, std::nullopt});
    }
    totals[3].name = "Unassigned";
    totals[4].name = "unassigned";
    std::vector<std::string> looked;
    const auto rows = weekProjectRows(totals, [&](const std::string& name) {
        looked.push_back(name);
        return std::optional<std::string>("teal");
    });
    ASSERT_EQ(rows.size(), 10u);
    // Shares of all twelve rows (11340 s), not of the ten shown.
    EXPECT_EQ(rows[0].percent, "9%");
    EXPECT_EQ(rows[0].duration, "16m");
    // Only the exact name is the unassigned row; it is never looked up.
    EXPECT_TRUE(rows[3].isUnassigned);
    EXPECT_FALSE(rows[3].color);
    EXPECT_FALSE(rows[4].isUnassigned);
    EXPECT_EQ(rows[4].color, "teal");
    EXPECT_EQ(std::count(looked.begin(), looked.end(), "Unassigned"), 0);
    EXPECT_EQ(looked.size(), 9u);

    // Under a second of deep time in the whole week: shares against one second.
    const auto tiny = weekProjectRows({{"Thesis", 0.5, std::nullopt}}, nullptr);
    ASSERT_EQ(tiny.size(), 1u);
    EXPECT_EQ(tiny[0].percent, "50%");
    EXPECT_FALSE(tiny[0].color);
    EXPECT_TRUE(weekProjectRows({}, nullptr).empty());
}
