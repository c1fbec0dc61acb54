#include "ViewLogic/Projects/ProjectsModel.h"

#include "core/Calendar.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

Project project(const std::string& name, std::optional<std::string> area, std::size_t rules = 0)
{
    Project p;
    p.id = "ID-" + name;
    p.name = name;
    p.area = std::move(area);
    for (std::size_t i = 0; i < rules; ++i) {
        p.rules.push_back(ProjectRule::titleContains("r" + std::to_string(i)));
    }
    return p;
}

TimeShare share(const std::string& name, double seconds)
{
    return {name, seconds, std::nullopt};
}

std::vector<std::string> names(const ProjectGroup& group)
{
    std::vector<std::string> result;
    for (const Project& p : group.projects) {
        result.push_back(p.name);
    }
    return result;
}

std::string figure(const std::vector<StatFigure>& figures, const std::string& label)
{
    for (const StatFigure& f : figures) {
        if (f.label == label) {
            return f.value;
        }
    }
    return "(missing)";
}

} // namespace

TEST(ProjectsModelTest, GroupsByAreaWithHeaders)
{
    const struct
    {
        std::vector<Project> projects;
        std::vector<std::string> areas;
        std::vector<std::optional<std::string>> headers;
    } cases[] = {
        {{project("A", std::nullopt), project("B", std::string())}, {""}, {std::nullopt}},
        {{project("A", "Work"), project("B", "Work")}, {"Work"}, {"Work"}},
        // Case-sensitive, code-point order: "Work" before "work", "Zeta" before "alpha"; no
        // area last.
        {{project("A", "work"), project("B", std::nullopt), project("C", "Work"),
          project("D", "alpha"), project("E", "Zeta")},
         {"Work", "Zeta", "alpha", "work", ""},
         {"Work", "Zeta", "alpha", "work", "No area"}},
        {{}, {}, {}},
    };
    for (const auto& c : cases) {
        const auto groups = groupedProjects(c.projects, {});
        ASSERT_EQ(groups.size(), c.areas.size());
        for (std::size_t i = 0; i < groups.size(); ++i) {
            EXPECT_EQ(groups[i].area, c.areas[i]);
            EXPECT_EQ(groups[i].header, c.headers[i]);
        }
    }
}

TEST(ProjectsModelTest, SortsByThirtyDaySecondsKeepingStoreOrderAmongEquals)
{
    const std::vector<Project> projects = {project("Quiet", "Work"), project("Busy", "Work"),
                                           project("Idle", "Work"), project("Mid", "Work"),
                                           project("Unassigned", "Work")};
    const std::vector<TimeShare> totals = {share("Unassigned", 9000), share("Busy", 7200),
                                           share("Mid", 600), share("Unassigned", 100),
                                           share("busy", 99999)};
    const auto groups = groupedProjects(projects, totals);
    ASSERT_EQ(groups.size(), 1u);
    // Exact names only; a project named "Unassigned" takes the first (larger) row.
    EXPECT_EQ(names(groups[0]),
              (std::vector<std::string>{"Unassigned", "Busy", "Mid", "Quiet", "Idle"}));
    EXPECT_EQ(secondsNamed(totals, "Unassigned"), 9000);
    EXPECT_EQ(secondsNamed(totals, "Nothing"), 0);
}

TEST(ProjectsModelTest, RuleCountsAndUnassignedRow)
{
    EXPECT_EQ(ruleCountText(0), "No rules yet");
    EXPECT_EQ(ruleCountText(1), "1 rule");
    EXPECT_EQ(ruleCountText(2), "2 rules");
    EXPECT_EQ(ruleCountText(11), "11 rules");

    EXPECT_FALSE(unassignedRowSeconds({share("Unassigned", 60)}));
    EXPECT_EQ(unassignedRowSeconds({share("Thesis", 10), share("Unassigned", 61)}), 61);
    EXPECT_FALSE(unassignedRowSeconds({share("unassigned", 600)}));
    // Only the first row of the name counts.
    EXPECT_FALSE(unassignedRowSeconds({share("Unassigned", 30), share("Unassigned", 900)}));
}

TEST(ProjectsModelTest, DetailFiguresCountOnlyActiveDaysInTheAverage)
{
    const auto trendOf = [](std::vector<double> seconds) {
        std::vector<DayTotal> trend;
        for (std::size_t i = 0; i < seconds.size(); ++i) {
            trend.push_back({static_cast<Date>(i) * 86400, seconds[i], 0});
        }
        return trend;
    };
    std::vector<double> oneActive(30, 30);
    oneActive[4] = 7200;
    const struct
    {
        std::vector<double> trend;
        double today;
        const char* total;
        const char* perDay;
        const char* activeDays;
        const char* todayText;
    } cases[] = {
        {std::vector<double>(30, 0), 0, "0m", "\u2014", "0", "0m"},
        {{}, 0, "0m", "\u2014", "0", "0m"},
        {std::vector<double>(30, 59), 0, "29m", "\u2014", "0", "0m"},
        {oneActive, 1800, "2h 14m", "2h", "1", "30m"},
        {{3600, 1800, 60}, 60, "1h 31m", "30m", "3", "1m"},
    };
    for (const auto& c : cases) {
        const auto figures = projectFigures(trendOf(c.trend), c.today);
        ASSERT_EQ(figures.size(), 4u);
        EXPECT_EQ(figure(figures, "last 30 days"), c.total);
        EXPECT_EQ(figure(figures, "per active day"), c.perDay);
        EXPECT_EQ(figure(figures, "active days"), c.activeDays);
        EXPECT_EQ(figure(figures, "today"), c.todayText);
    }
}

TEST(ProjectsModelTest, ThirtyDayWindowIsThirtyCalendarDaysEndingToday)
{
    ScopedTimeZone tz("America/New_York");
    // Clocks went back on 1 November 2026, inside the window.
    const Date now = Calendar::date(2026, 11, 20, 15, 30);
    const ProjectWindow window = thirtyDayWindow(now);
    EXPECT_EQ(window.from, Calendar::date(2026, 10, 22));
    EXPECT_EQ(window.to, Calendar::date(2026, 11, 21));
    EXPECT_EQ(window.to - window.from, 30 * 86400.0 + 3600);
}

TEST(ProjectsModelTest, ChartMarksTodayAndLabelsEveryWeek)
{
    ScopedTimeZone tz("Europe/Berlin");
    const Date now = Calendar::date(2026, 12, 10, 16, 0);
    const ProjectWindow window = thirtyDayWindow(now);
    std::vector<DayTotal> trend;
    for (int i = 0; i < 30; ++i) {
        trend.push_back({Calendar::addingDays(window.from, i), i == 12 ? 2.6 * 3600 : 0, 0});
    }
    const BarChartModel chart = projectChart(trend, now, "en_US");
    ASSERT_EQ(chart.bars.size(), 30u);
    EXPECT_TRUE(chart.bars.back().isCurrent);
    EXPECT_EQ(std::count_if(chart.bars.begin(), chart.bars.end(),
                            [](const ChartBar& bar) { return bar.isCurrent; }),
              1);
    EXPECT_EQ(chart.bars.front().label, "Nov 11");
    EXPECT_EQ(chart.labelStride, 7);
    EXPECT_FALSE(chart.goalHours);
    EXPECT_GE(chart.upperBound, 2.6);
    EXPECT_EQ(chart.ticks.back().label, "3h");
}

TEST(ProjectsModelTest, DetailEyebrowIsTheAreaOrProject)
{
    EXPECT_EQ(detailEyebrow(project("A", std::nullopt)), "Project");
    EXPECT_EQ(detailEyebrow(project("A", "Work")), "Work");
    EXPECT_EQ(detailEyebrow(project("A", std::string())), "");
}
