#include "core/DaySummary.h"

#include "core/Calendar.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

const FocusBlockBuilder kBuilder{180, 300};

Segment seg(ContextKind kind, Date start, Date end, std::optional<std::string> project = {},
            std::string label = "Editor")
{
    Segment s;
    s.kind = kind;
    s.start = start;
    s.end = end;
    s.project = std::move(project);
    s.appName = std::move(label);
    return s;
}

std::vector<std::pair<std::string, double>> named(const std::vector<TimeShare>& rows)
{
    std::vector<std::pair<std::string, double>> result;
    for (const auto& row : rows) {
        result.emplace_back(row.name, row.seconds);
    }
    return result;
}

using Rows = std::vector<std::pair<std::string, double>>;

} // namespace

TEST(DaySummary, EmptyDay)
{
    const DaySummary summary = DaySummary::build(1000, {}, {}, kBuilder);
    EXPECT_EQ(summary, DaySummary::empty(1000));
    EXPECT_EQ(summary.deepRatio(), 0);
    EXPECT_FALSE(summary.longestBlock());
    EXPECT_FALSE(summary.topProject());
}

TEST(DaySummary, KindsRowsAndOrder)
{
    ScopedTimeZone tz("Europe/Berlin");
    const Date nine = Calendar::date(2026, 1, 5, 9);
    const std::vector<Project> projects = {{"", "Thesis", "blue", "Study", {}, false},
                                           {"", "Thesis", "red", "Work", {}, false},
                                           {"", "Site", "green", std::nullopt, {}, false}};
    Segment ownArea = seg(ContextKind::deep, nine + 7200, nine + 7800, "Thesis");
    ownArea.area = "Writing";
    Segment hinted = seg(ContextKind::deep, nine + 300, nine + 300);
    hinted.detectedProject = "kestrove";
    const std::vector<Segment> segments = {
        seg(ContextKind::shallow, nine - 600, nine, {}, "Mail"),
        hinted,                                                     // zero length
        seg(ContextKind::deep, nine + 3000, nine + 4800, "Thesis"), // 09:50 to 10:20
        seg(ContextKind::deep, nine + 4800, nine + 4000, "Site"),   // ends before it starts
        seg(ContextKind::deep, nine + 5000, nine + 6800),
        seg(ContextKind::deep, nine + 6800, nine + 7100, "Ghost"),
        seg(ContextKind::distraction, nine + 7100, nine + 7200, {}, "Video"),
        ownArea,
        seg(ContextKind::neutral, nine + 7800, nine + 7900),
        seg(ContextKind::idle, nine + 7900, nine + 8900),
        seg(ContextKind::deep, nine + 3 * 3600, nine + 3 * 3600 + 1800, "Alpha"),
        seg(ContextKind::deep, nine + 4 * 3600, nine + 4 * 3600 + 1200),
        seg(ContextKind::deep, nine - 7200, nine - 7200 + 1800, "Site"), // out of order
    };
    const DaySummary s = DaySummary::build(nine, segments, projects, kBuilder);
    EXPECT_EQ(s.deepSeconds, 9300);
    EXPECT_EQ(s.shallowSeconds, 600);
    EXPECT_EQ(s.distractionSeconds, 100);
    EXPECT_EQ(s.neutralSeconds, 100);
    EXPECT_EQ(s.idleSeconds, 1000);
    EXPECT_EQ(s.trackedSeconds(), 11100);
    // Equal seconds by name; "Unassigned" last although it has the most.
    EXPECT_EQ(named(s.byProject), (Rows{{"Thesis", 2400},
                                        {"Alpha", 1800},
                                        {"Site", 1800},
                                        {"Ghost", 300},
                                        {"Unassigned", 3000}}));
    EXPECT_EQ(s.byProject[0].color, "blue"); // the first of two namesakes
    EXPECT_EQ(s.byProject[1].color, std::nullopt);
    EXPECT_EQ(s.topProject()->name, "Thesis");
    EXPECT_EQ(named(s.byArea),
              (Rows{{"Other", 3900}, {"Study", 1800}, {"Writing", 600}, {"Unassigned", 3000}}));
    EXPECT_EQ(named(s.unassignedHints), (Rows{{"Editor", 3000}, {"kestrove", 0}}));
    EXPECT_EQ(named(s.topShallow), (Rows{{"Mail", 600}}));
    EXPECT_EQ(named(s.topDistractions), (Rows{{"Video", 100}}));
    EXPECT_EQ(s.byHour, (std::map<int, double>{
                            {7, 1800}, {9, 600}, {10, 3300}, {11, 600}, {12, 1800}, {13, 1200}}));
    EXPECT_EQ(s.firstDeep, nine - 7200);
    EXPECT_EQ(s.lastDeep, nine + 4 * 3600 + 1200);

    DaySummary twoEqual = s;
    twoEqual.blocks = {FocusBlock{1, 2, 600, 0, {}, {}}, FocusBlock{3, 4, 900, 0, {}, {}},
                       FocusBlock{5, 6, 900, 0, {}, {}}};
    EXPECT_EQ(twoEqual.longestBlock()->start, 3);
}

TEST(DaySummary, HoursAcrossMidnightAndClockChanges)
{
    // The hour that is skipped on a 23-hour day and repeated on a 25-hour day.
    const std::tuple<const char*, int, int, double, int> cases[] = {
        {"Europe/Berlin", 3, 29, 23, 2},
        {"Europe/Berlin", 10, 25, 25, 2},
        {"America/New_York", 3, 8, 23, 2},
        {"America/New_York", 11, 1, 25, 1}};
    for (const auto& [zone, month, dayOfMonth, hours, changedHour] : cases) {
        ScopedTimeZone tz(zone);
        const Date day = Calendar::date(2026, month, dayOfMonth);
        const Date next = Calendar::addingDays(day, 1);
        const DaySummary s =
            DaySummary::build(day, {seg(ContextKind::deep, day, next, "A")}, {}, kBuilder);
        double sum = 0;
        for (const auto& [hour, seconds] : s.byHour) {
            sum += seconds;
        }
        EXPECT_EQ(sum, hours * 3600) << zone;
        EXPECT_EQ(s.byHour.size(), hours == 23 ? 23u : 24u) << zone;
        EXPECT_EQ(s.byHour.count(changedHour) ? s.byHour.at(changedHour) : 0, (hours - 23) * 3600)
            << zone;
    }
    ScopedTimeZone tz("America/New_York");
    const Date midnight = Calendar::date(2026, 11, 2);
    const DaySummary s = DaySummary::build(
        midnight, {seg(ContextKind::deep, midnight - 1800, midnight + 1800)}, {}, kBuilder);
    EXPECT_EQ(s.byHour, (std::map<int, double>{{23, 1800}, {0, 1800}}));
}

TEST(Streak, RunsOfGoalDays)
{
    for (const char* zone : {"Europe/Berlin", "America/New_York"}) {
        ScopedTimeZone tz(zone);
        // Today is just after the spring change, so runs cross a 23-hour day.
        const Date today =
            Calendar::date(2026, 3, std::string(zone) == "Europe/Berlin" ? 30 : 9, 15);
        const auto ago = [&](int days, int hour = 10) {
            return Calendar::addingDays(today, -days) + hour * 3600;
        };
        const std::vector<std::pair<std::vector<Date>, Streak>> cases = {
            {{}, {0, 0}},
            {{ago(1), ago(2), ago(3)}, {3, 3}},
            {{ago(0), ago(1)}, {2, 2}},
            {{ago(2), ago(3), ago(4)}, {0, 3}},
            {{ago(0, 1), ago(0, 23)}, {1, 1}},
            {{ago(9), ago(8), ago(7), ago(5), ago(4)}, {0, 3}},
            {{ago(4), ago(0), ago(8), ago(2), ago(1), ago(3)}, {5, 5}}};
        for (const auto& [days, streak] : cases) {
            EXPECT_EQ(Streak::compute(days, today), streak) << zone << " " << days.size();
        }
    }
}
