#include "ViewLogic/Week/WeekLoader.h"

#include "ViewLogic/Projects/ProjectsLoader.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

Segment deep(Date start, double minutes, std::optional<std::string> project)
{
    Segment s;
    s.start = start;
    s.end = start + minutes * 60;
    s.kind = ContextKind::deep;
    s.bundleID = "com.microsoft.vscode";
    s.appName = "Code";
    s.windowTitle = "main.cpp";
    s.project = std::move(project);
    return s;
}

void write(EngineRig& rig, const std::vector<Segment>& segments)
{
    Database db(rig.path);
    db.open();
    for (const Segment& s : segments) {
        db.insertSegment(s);
    }
}

} // namespace

// The current week's days are seven calendar days; its projects stop at now.
TEST(WeekLoaderTest, LoadsSevenDaysAndProjectsUpToNow)
{
    ScopedTimeZone tz("Europe/Berlin");
    const Date now = Calendar::date(2026, 10, 28, 12, 0); // Wednesday after the clocks went back
    EngineRig rig(now);
    const Date monday = Calendar::date(2026, 10, 26);
    write(rig, {deep(monday + 9 * 3600, 30, "Thesis"), deep(monday - 3600, 30, "Before"),
                deep(Calendar::date(2026, 10, 27, 23, 30), 60, std::nullopt),
                // Written ahead of the clock: counted in its day, not among the projects.
                deep(Calendar::date(2026, 10, 30, 9, 0), 45, "Later")});
    rig.start();

    WeekLoader loader(*rig.engine);
    std::optional<WeekLoad> result;
    loader.load(monday, now, [&](WeekLoad load) { result = load; });
    rig.settle();
    ASSERT_TRUE(result);
    EXPECT_FALSE(result->failed);
    ASSERT_EQ(result->days.size(), 7u);
    EXPECT_EQ(result->days[0].date, monday);
    EXPECT_EQ(result->days[6].date, Calendar::date(2026, 11, 1));
    EXPECT_EQ(result->days[0].deepSeconds, 1800);
    EXPECT_EQ(result->days[1].deepSeconds, 1800); // split at midnight
    EXPECT_EQ(result->days[2].deepSeconds, 1800);
    EXPECT_EQ(result->days[4].deepSeconds, 45 * 60);
    std::vector<std::string> names;
    for (const TimeShare& share : result->projectTotals) {
        names.push_back(share.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Unassigned", "Thesis"}));
}

// A slow read of a week left behind never replaces the week asked for last; a failed read
// says so instead of passing for an empty week.
TEST(WeekLoaderTest, OnlyTheNewestLoadIsAppliedAndFailuresAreMarked)
{
    ScopedTimeZone tz("Europe/Berlin");
    const Date now = Calendar::date(2026, 12, 9, 12, 0);
    EngineRig rig(now);
    write(rig, {deep(Calendar::date(2026, 11, 30, 10, 0), 20, "Old")});
    rig.start();
    WeekLoader loader(*rig.engine);
    std::vector<Date> applied;
    loader.load(Calendar::date(2026, 11, 30), now,
                [&](WeekLoad load) { applied.push_back(load.weekStart); });
    loader.load(Calendar::date(2026, 12, 7), now,
                [&](WeekLoad load) { applied.push_back(load.weekStart); });
    rig.settle();
    EXPECT_EQ(applied, (std::vector<Date>{Calendar::date(2026, 12, 7)}));

    rig.engine->database().run([](Database& db) { db.close(); });
    std::optional<WeekLoad> failed;
    loader.load(Calendar::date(2026, 11, 30), now, [&](WeekLoad load) { failed = load; });
    rig.settle();
    ASSERT_TRUE(failed);
    EXPECT_TRUE(failed->failed);
    EXPECT_FALSE(failed->error.empty());
    EXPECT_TRUE(failed->days.empty());
}

TEST(ProjectsLoaderTest, DetailAndListCountTheSameThirtyDays)
{
    ScopedTimeZone tz("America/New_York");
    const Date now = Calendar::date(2026, 11, 20, 15, 0);
    EngineRig rig(now);
    const Date first = Calendar::date(2026, 10, 22);
    write(rig, {
                   // Began before the window: only its part inside counts, on the first day.
                   deep(first - 1800, 60, "Kestrove"),
                   // 23:30 to 00:30 counts whole on the day it began.
                   deep(Calendar::date(2026, 11, 10, 23, 30), 60, "Kestrove"),
                   deep(Calendar::date(2026, 11, 20, 9, 0), 30, "Kestrove"),
                   deep(Calendar::date(2026, 11, 20, 10, 0), 30, "kestrove"),
                   deep(Calendar::date(2026, 11, 20, 11, 0), 15, std::nullopt),
               });
    rig.start();

    ProjectsLoader loader(*rig.engine);
    std::optional<ProjectTotalsLoad> totals;
    std::optional<ProjectDetailLoad> detail;
    std::optional<UnassignedLoad> unassigned;
    loader.loadTotals(now, [&](ProjectTotalsLoad load) { totals = load; });
    loader.loadDetail("Kestrove", now, [&](ProjectDetailLoad load) { detail = load; });
    loader.loadUnassigned(now, [&](UnassignedLoad load) { unassigned = load; });
    rig.settle();
    ASSERT_TRUE(totals && detail && unassigned);
    ASSERT_EQ(detail->trend.size(), 30u);
    EXPECT_EQ(detail->trend.front().date, first);
    EXPECT_EQ(detail->trend.front().deepSeconds, 1800);
    EXPECT_EQ(detail->trend[19].deepSeconds, 3600); // 10 November
    EXPECT_EQ(detail->trend.back().deepSeconds, 1800);
    double trendTotal = 0;
    for (const DayTotal& day : detail->trend) {
        trendTotal += day.deepSeconds;
    }
    double listed = 0;
    for (const TimeShare& share : totals->totals) {
        if (share.name == "Kestrove") {
            listed = share.seconds;
        }
    }
    EXPECT_EQ(listed, trendTotal);
    ASSERT_EQ(detail->labels.size(), 1u);
    EXPECT_EQ(detail->labels[0].label, "main.cpp");
    ASSERT_EQ(unassigned->labels.size(), 1u);
    EXPECT_EQ(unassigned->labels[0].seconds, 900);

    rig.engine->database().run([](Database& db) { db.close(); });
    loader.loadTotals(now, [&](ProjectTotalsLoad load) { totals = load; });
    loader.loadDetail("Kestrove", now, [&](ProjectDetailLoad load) { detail = load; });
    rig.settle();
    EXPECT_TRUE(totals->failed);
    EXPECT_TRUE(totals->totals.empty());
    EXPECT_TRUE(detail->failed);
}

TEST(ProjectsLoaderTest, HistoryRenameMovesSegmentsAndReportsFailure)
{
    const Date now = Calendar::date(2026, 12, 9, 12, 0);
    EngineRig rig(now);
    write(rig, {deep(now - 7200, 30, "Kestrove"), deep(now - 3600, 30, "Thesis")});
    rig.start();
    LifetimeGuard guard;
    std::optional<std::optional<std::string>> reported;
    renameProjectHistory(*rig.engine, {"Kestrove", "Kestrove App", "Work"}, guard,
                         [&](std::optional<std::string> error) { reported = error; });
    rig.settle();
    ASSERT_TRUE(reported);
    EXPECT_FALSE(*reported);
    EXPECT_EQ(rig.rows("SELECT project, area FROM segments WHERE project LIKE 'Kestrove%'"),
              (std::vector<std::vector<std::string>>{{"Kestrove App", "Work"}}));
    // Today's figures were rebuilt from the renamed rows.
    bool renamedToday = false;
    for (const TimeShare& share : rig.engine->today().byProject) {
        renamedToday = renamedToday || share.name == "Kestrove App";
    }
    EXPECT_TRUE(renamedToday);

    rig.engine->database().run([](Database& db) { db.close(); });
    reported.reset();
    renameProjectHistory(*rig.engine, {"Thesis", std::nullopt, std::nullopt}, guard,
                         [&](std::optional<std::string> error) { reported = error; });
    rig.settle();
    ASSERT_TRUE(reported);
    EXPECT_TRUE(*reported);
}
