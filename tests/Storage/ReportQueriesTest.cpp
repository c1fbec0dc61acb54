#include "Storage/Database.h"
#include "StorageFixture.h"
#include "core/Calendar.h"
#include "support/TimeZone.h"

using namespace kestrove;

namespace {

Segment row(Date start, Date end, ContextKind kind, std::optional<std::string> project = {})
{
    Segment s;
    s.start = start;
    s.end = end;
    s.kind = kind;
    s.appName = "Editor";
    s.project = std::move(project);
    return s;
}

FocusTask task(Date start, double onTask, bool lockdown,
               std::optional<FocusTask::EndReason> reason)
{
    FocusTask t;
    t.id = "6F1C3D2E-0000-4000-8000-000000000001";
    t.name = "Write";
    t.startedAt = start;
    t.endedAt = start + 600;
    t.cumulativeOnTaskSeconds = onTask;
    t.isLockdown = lockdown;
    t.endedReason = reason;
    return t;
}

} // namespace

class ReportQueriesTest : public StorageTest
{
protected:
    ReportQueriesTest() { m_db.open(); }
    ScopedTimeZone m_tz{"Europe/Berlin"};
    Database m_db{m_path, m_clock};
};

TEST_F(ReportQueriesTest, DayTotalsSplitAtLocalMidnightsOverADaylightSavingWeek)
{
    const Date monday = Calendar::date(2026, 3, 23);
    const Date saturday = Calendar::date(2026, 3, 28);
    m_db.insertSegment(row(saturday + 23.5 * 3600, Calendar::date(2026, 3, 29, 0, 45),
                           ContextKind::deep));
    m_db.insertSegment(row(monday - 600, monday + 600, ContextKind::neutral));
    m_db.insertSegment(row(monday + 3600, monday + 7200, ContextKind::idle));
    for (const Date to : {Calendar::date(2026, 3, 30), Calendar::date(2026, 3, 30, 12)}) {
        const auto totals = m_db.dayTotals(monday, to);
        ASSERT_EQ(totals.size(), 7u);
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(totals[i].date, Calendar::date(2026, 3, 23 + i));
        }
        EXPECT_EQ(totals[0].activeSeconds, 600);
        EXPECT_EQ(totals[0].deepSeconds, 0);
        EXPECT_EQ(totals[5].deepSeconds, 1800);
        EXPECT_EQ(totals[6].deepSeconds, 2700);
        EXPECT_EQ(totals[6].activeSeconds, 2700);
    }
}

TEST_F(ReportQueriesTest, ProjectAndLabelFiguresAgreeOnUnassignedTime)
{
    Segment titled = row(1000, 1100, ContextKind::deep);
    titled.windowTitle = "notes.md";
    m_db.insertSegment(titled);
    Segment site = row(1100, 1300, ContextKind::deep, "");
    site.domain = "github.com";
    m_db.insertSegment(site);
    m_db.insertSegment(row(500, 1400, ContextKind::deep, "Kestrove"));
    m_db.insertSegment(row(1000, 5000, ContextKind::shallow));

    const auto projects = m_db.projectTotals(1000, 2000);
    ASSERT_EQ(projects.size(), 2u);
    EXPECT_EQ(projects[0].name, "Kestrove");
    EXPECT_EQ(projects[0].seconds, 400) << "clipped to the range";
    EXPECT_EQ(projects[1].name, "Unassigned");
    EXPECT_EQ(projects[1].seconds, 300) << "shallow time never counts";

    const auto labels = m_db.labelBreakdown(std::nullopt, 1000, 2000, 10);
    EXPECT_EQ(labels, (std::vector<LabelTime>{{"github.com", 200}, {"notes.md", 100}}));
    EXPECT_EQ(m_db.labelBreakdown(std::nullopt, 1000, 2000, 1).size(), 1u);
    EXPECT_EQ(m_db.labelBreakdown("Kestrove", 1000, 2000, 10),
              (std::vector<LabelTime>{{"Editor", 400}}));
}

TEST_F(ReportQueriesTest, SeenContextsKeyAppsAndSites)
{
    Segment withID = row(0, 100, ContextKind::shallow);
    withID.bundleID = "Org.Example.Editor";
    Segment withoutID = row(100, 130, ContextKind::shallow);
    Segment siteA = row(200, 260, ContextKind::distraction);
    siteA.bundleID = "org.mozilla.firefox";
    siteA.domain = "news.example";
    Segment siteB = siteA;
    siteB.bundleID = "org.chromium.chromium";
    siteB.start = 300;
    siteB.end = 320;
    for (const auto& s : {withID, withoutID, siteA, siteB, row(400, 900, ContextKind::idle)}) {
        m_db.insertSegment(s);
    }
    const auto seen = m_db.seenContexts(0, 1000, 10);
    EXPECT_EQ(seen, (std::vector<SeenContext>{{"org.example.editor", "Editor", false, 100},
                                              {"news.example", "news.example", true, 80},
                                              {"editor", "Editor", false, 30}}));
}

TEST(FocusSessionEntry, OnTaskFormatted)
{
    const std::pair<double, const char*> cases[] = {
        {0, "0s"},  {0.9, "0s"},     {59, "59s"},     {60, "1m"},
        {119, "1m"}, {3599, "59m"}, {3600, "1h 0m"}, {7500, "2h 5m"},
    };
    for (const auto& [seconds, text] : cases) {
        FocusSessionEntry entry;
        entry.onTaskSeconds = seconds;
        EXPECT_EQ(entry.onTaskFormatted(), text) << seconds;
    }
}

TEST_F(ReportQueriesTest, LockdownStatsCountTheDayTheTasksStarted)
{
    const Date day = Calendar::date(2026, 5, 4);
    m_db.insertFocusTask(task(day + 9 * 3600, 1500, true, FocusTask::EndReason::completed), true);
    m_db.insertFocusTask(task(day + 23 * 3600 + 50 * 60, 700, true, FocusTask::EndReason::brokeOut),
                         false);
    m_db.insertFocusTask(task(day + 10 * 3600, 900, false, FocusTask::EndReason::completed), true);
    for (int i = 0; i < 3; ++i) {
        m_db.recordLockdownBlock("6f1c3d2e-0000-4000-8000-000000000001", day + 9 * 3600 + i,
                                 "org.example.game");
    }
    m_db.recordLockdownBlock("6F1C3D2E-0000-4000-8000-000000000001", day + 86400 + 5, "x");
    EXPECT_EQ(m_db.lockdownStats(day + 12 * 3600), (LockdownStats{2, 2200, 3, 0.5}));
    EXPECT_EQ(m_db.lockdownStats(day + 86400 + 3600), (LockdownStats{0, 0, 1, 0}));
}

TEST_F(ReportQueriesTest, FocusTaskRowsAsTheHistoryShowsThem)
{
    FocusTask open = task(1000, 1200.7, false, std::nullopt);
    open.endedAt.reset();
    open.estimatedSeconds = 1500.9;
    m_db.insertFocusTask(open, false);
    m_db.insertFocusTask(task(2000, 60, true, FocusTask::EndReason::crashed), false);

    const auto first = m_db.recentFocusTasks(10);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].endedReason, "crashed");
    EXPECT_EQ(first[1].endedReason, std::nullopt);
    EXPECT_EQ(first[1].endedAt, m_clock.now());
    EXPECT_EQ(first[1].estimatedSeconds, 1500);
    EXPECT_EQ(first[1].onTaskSeconds, 1200);
    EXPECT_NE(m_db.recentFocusTasks(10)[0].id, first[0].id);
    EXPECT_EQ(m_db.recentFocusTasks(1).size(), 1u);
}

TEST_F(ReportQueriesTest, PlansAreFoundAgainOnTheSameDayAndUnreadableListsAreKept)
{
    DayPlan plan = DayPlan::empty(Calendar::date(2026, 5, 4, 15), m_clock.now());
    plan.context = "Release week";
    plan.urgent = {"Fix the crash"};
    plan.completedAt = m_clock.now();
    m_db.upsertDayPlan(plan);
    auto read = m_db.dayPlan(Calendar::date(2026, 5, 4, 8));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->day, Calendar::date(2026, 5, 4));
    EXPECT_EQ(read->urgent, plan.urgent);
    EXPECT_EQ(read->completedAt, plan.completedAt);
    EXPECT_EQ(read->skippedAt, std::nullopt);

    m_db.execute("UPDATE day_plans SET blocks = '[{\"broken\"' ;");
    read = m_db.dayPlan(Calendar::date(2026, 5, 4, 8));
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->blocks.empty());
    EXPECT_EQ(read->context, "Release week");
    read->other = "edited";
    m_db.upsertDayPlan(*read);
    m_db.dayPlan(Calendar::date(2026, 5, 4));
    m_db.upsertDayPlan(*read);
    sqlite3* raw = nullptr;
    sqlite3_open(m_path.c_str(), &raw);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(raw, "SELECT blocks, other FROM day_plans;", -1, &statement, nullptr);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)),
                 "[{\"broken\"");
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)), "edited");
    sqlite3_finalize(statement);
    sqlite3_close(raw);
}
