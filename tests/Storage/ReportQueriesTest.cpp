#include "Storage/Database.h"
#include "StorageFixture.h"
#include "core/Calendar.h"
#include "core/NumberFormat.h"
#include "support/TimeZone.h"

#include <algorithm>
#include <iterator>
#include <map>

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

FocusTask task(Date start, double onTask, bool lockdown, std::optional<FocusTask::EndReason> reason)
{
    FocusTask t;
    t.id = "6F1C3D2E-0000-4000-8000-000000000001";
    t.name = "Write";
    t.startedAt = start;
    t.endedAt = start + 600;
    t.estimatedSeconds = onTask;
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
    m_db.insertSegment(row(Calendar::date(2026, 3, 28, 23, 30), Calendar::date(2026, 3, 29, 0, 45),
                           ContextKind::deep));
    m_db.insertSegment(row(monday - 600, monday + 600, ContextKind::neutral));
    m_db.insertSegment(row(monday + 3600, monday + 7200, ContextKind::idle));
    std::vector<DayTotal> expected;
    for (int i = 0; i < 7; ++i) {
        expected.push_back({Calendar::date(2026, 3, 23 + i), 0, 0});
    }
    expected[0].activeSeconds = 600;
    expected[5].deepSeconds = expected[5].activeSeconds = 1800;
    expected[6].deepSeconds = expected[6].activeSeconds = 2700;
    EXPECT_EQ(m_db.dayTotals(monday, Calendar::date(2026, 3, 30)), expected);
    EXPECT_EQ(m_db.dayTotals(monday, Calendar::date(2026, 3, 30, 12)), expected);
}

namespace {

// Day totals the plain way: every row in (start, id) order, split at midnights.
std::vector<DayTotal> totalsOfRows(const std::vector<Segment>& rows, Date from, Date to)
{
    std::map<Date, DayTotal> days;
    for (const Segment& s : rows) {
        for (Date p = s.start; s.kind != ContextKind::idle && p < s.end;) {
            const Date day = Calendar::startOfDay(p);
            const Date q = std::min(s.end, Calendar::addingDays(day, 1));
            days[day].activeSeconds += q - p;
            days[day].deepSeconds += s.kind == ContextKind::deep ? q - p : 0;
            p = q;
        }
    }
    std::vector<DayTotal> result;
    for (Date d = Calendar::startOfDay(from); d < Calendar::startOfDay(to);
         d = Calendar::addingDays(d, 1)) {
        result.push_back({d, days[d].deepSeconds, days[d].activeSeconds});
    }
    return result;
}

} // namespace

TEST_F(ReportQueriesTest, DayTotalsSumRowsInTheirOrderToTheLastBit)
{
    // Times near 1970 and lengths of mixed magnitudes, so that summing in another order shows in
    // the last bits; equal starts within and across kinds; a kind this version does not know.
    const char* kinds[] = {"deep", "shallow", "idle", "focus", "distraction", "neutral", "deep"};
    const double lengths[] = {0.1, 1234.567, 1e-6, 7.3, 86399.9};
    const Date day = Calendar::date(1970, 1, 2);
    m_db.execute("BEGIN;");
    for (int i = 0; i < 400; ++i) {
        const Date start = day + (i * 7919 % 150) * 1613.37 + (i % 3 == 0 ? 0 : 0.1);
        const double length = lengths[i % 5] * (1 + (6 - i % 7) / 10.0);
        m_db.execute("INSERT INTO segments (start_ts, end_ts, app_name, kind) VALUES (" +
                     NumberFormat::shortest(start) + ", " + NumberFormat::shortest(start + length) +
                     ", 'A', '" + kinds[i % 7] + "');");
    }
    m_db.execute("COMMIT;");
    const Date from = day + 3600.3, to = Calendar::date(1970, 1, 6, 6);
    EXPECT_EQ(m_db.dayTotals(from, to), totalsOfRows(m_db.segments(from, to), from, to));

    m_db.execute("INSERT INTO segments (start_ts, end_ts, app_name, kind)"
                 " VALUES (" +
                 NumberFormat::shortest(day + 7200) + ", " +
                 NumberFormat::shortest(day + 9000.125) +
                 ", 'A', X'6465657000');"); // a kind stored as bytes rather than text
    EXPECT_EQ(m_db.dayTotals(from, to), totalsOfRows(m_db.segments(from, to), from, to));
}

TEST_F(ReportQueriesTest, ProjectAndLabelFiguresAgreeOnUnassignedTime)
{
    Segment titled = row(1000, 1100, ContextKind::deep);
    titled.windowTitle = "notes.md";
    Segment site = row(1100, 1300, ContextKind::deep, "");
    site.domain = "github.com";
    for (const auto& s : {titled, site, row(500, 1400, ContextKind::deep, "Kestrove"),
                          row(1000, 5000, ContextKind::shallow)}) {
        m_db.insertSegment(s);
    }
    EXPECT_EQ(m_db.projectTotals(1000, 2000),
              (std::vector<TimeShare>{{"Kestrove", 400, {}}, {"Unassigned", 300, {}}}));
    EXPECT_EQ(m_db.labelBreakdown(std::nullopt, 1000, 2000, 10),
              (std::vector<LabelTime>{{"github.com", 200}, {"notes.md", 100}}));
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

namespace {

// Two days and more of varied rows around local midnights: lengths of mixed magnitudes, so that
// summing in another order shows in the last bits; runs of equal starts within one kind and
// project whose ends are not in id order; rows that end before they start or have no length;
// absent and empty texts; identifiers in mixed case and names beyond ASCII.
void insertMixedHistory(Database& db, Date day)
{
    const ContextKind kinds[] = {ContextKind::deep, ContextKind::shallow, ContextKind::idle,
                                 ContextKind::distraction, ContextKind::deep};
    const double lengths[] = {1234.567, 0.1, 86399.9, 7.3, 1e-6};
    const std::optional<std::string> projects[] = {std::nullopt, "", "Kestrove", "Thesis"};
    const std::optional<std::string> bundleIDs[] = {std::nullopt, "Org.Example.Editor",
                                                    "org.example.editor", ""};
    db.execute("BEGIN;");
    for (int i = 0; i < 600; ++i) {
        const int k = i * 7919 % 200;
        Segment s;
        s.start = day - 3600 + k * 997.31 + (k % 3 == 0 ? 0 : 0.1);
        const double length = i % 41 == 0   ? -50
                              : i % 43 == 0 ? 0
                                            : lengths[(i + i / 200) % 5] * (1 + (6 - i % 7) / 10.0);
        s.end = s.start + length;
        s.kind = kinds[i % 5];
        s.project = projects[i % 4];
        s.area = i % 6 == 0 ? std::optional<std::string>("Work") : std::nullopt;
        s.detectedProject = i % 7 == 0 ? std::optional<std::string>("kestrove") : std::nullopt;
        s.domain = i % 3 == 0 ? (i % 2 ? "example.org" : "News.example") : "";
        s.bundleID = bundleIDs[i % 4 == 3 ? 3 : (i / 4) % 3];
        s.appName = i % 2 ? "Editor" : "Éditeur";
        s.windowTitle = "title " + std::to_string(i);
        s.url = "https://example.org/" + std::to_string(i);
        s.focusTaskID = i % 9 == 0 ? std::optional<std::string>("task") : std::nullopt;
        s.keystrokes = i;
        db.insertSegment(s);
    }
    // Summed by id these give 0.6; by end, as an index on (start, end) lists them, 0.6 + 1 ulp.
    for (const double length : {0.3, 0.2, 0.1}) {
        Segment s;
        s.start = day + 7200;
        s.end = s.start + length;
        s.kind = ContextKind::deep;
        s.project = "Trio";
        s.domain = "trio.example";
        db.insertSegment(s);
    }
    db.execute("COMMIT;");
}

// What each narrow read must give, worked out the plain way from the whole rows.
Segment summaryPart(const Segment& s)
{
    Segment part;
    part.id = s.id;
    part.start = s.start;
    part.end = s.end;
    part.kind = s.kind;
    part.project = s.project;
    part.area = s.area;
    part.detectedProject = s.detectedProject;
    part.domain = s.domain;
    part.appName = s.appName;
    part.focusTaskID = s.focusTaskID;
    return part;
}

Segment blockPart(const Segment& s)
{
    Segment part;
    part.id = s.id;
    part.start = s.start;
    part.end = s.end;
    part.kind = s.kind;
    part.project = s.project;
    return part;
}

std::vector<TimeShare> projectTotalsOf(const std::vector<Segment>& rows)
{
    std::map<std::string, double> sums;
    for (const Segment& s : rows) {
        if (s.kind == ContextKind::deep) {
            sums[s.project.value_or("")] += s.end - s.start;
        }
    }
    std::vector<TimeShare> result;
    for (const auto& [name, seconds] : sums) {
        result.push_back({name.empty() ? "Unassigned" : name, seconds, std::nullopt});
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const auto& a, const auto& b) { return a.seconds > b.seconds; });
    return result;
}

// A project's deep time, each row whole on the day it starts.
std::vector<DayTotal> dailyDeepOf(const std::vector<Segment>& rows, const std::string& project,
                                  Date from, Date to)
{
    std::map<Date, double> days;
    for (const Segment& s : rows) {
        if (s.kind == ContextKind::deep && s.project == project) {
            days[Calendar::startOfDay(s.start)] += std::max(0.0, s.end - s.start);
        }
    }
    std::vector<DayTotal> result;
    for (Date d = Calendar::startOfDay(from); d < to; d = Calendar::addingDays(d, 1)) {
        result.push_back({d, days[d], 0});
    }
    return result;
}

template <typename Part> std::vector<Segment> parts(const std::vector<Segment>& rows, Part part)
{
    std::vector<Segment> result;
    std::transform(rows.begin(), rows.end(), std::back_inserter(result), part);
    return result;
}

} // namespace

TEST_F(ReportQueriesTest, NarrowReadsGiveWhatTheWholeRowsGiveToTheLastBit)
{
    const Date day = Calendar::date(1970, 1, 2); // small times keep many bits of each length
    insertMixedHistory(m_db, day);
    const Date midnight = Calendar::addingDays(day, 1);
    const std::pair<Date, Date> ranges[] = {
        {day, midnight},
        {day - 1800.5, Calendar::addingDays(day, 2) + 0.25},
        {Calendar::addingDays(day, -1), Calendar::addingDays(day, 29)},
        {midnight + 5000, midnight + 5000},
    };
    for (const auto& [from, to] : ranges) {
        SCOPED_TRACE(NumberFormat::shortest(from) + " to " + NumberFormat::shortest(to));
        const auto rows = m_db.segments(from, to);
        EXPECT_EQ(m_db.summarySegments(from, to), parts(rows, summaryPart));
        EXPECT_EQ(m_db.blockSegments(from, to), parts(rows, blockPart));
        EXPECT_EQ(m_db.projectTotals(from, to), projectTotalsOf(rows));
        for (const std::string project : {"Kestrove", "Thesis", "Trio", ""}) {
            EXPECT_EQ(m_db.projectDailyDeepSeconds(project, from, to),
                      dailyDeepOf(rows, project, from, to))
                << project;
        }
        EXPECT_EQ(m_db.seenContexts(from, to, 3), seenContextsOf(rows, 3));
        EXPECT_EQ(m_db.seenContexts(from, to, -1), seenContextsOf(rows, rows.size()));
        EXPECT_EQ(m_db.dayTotals(from, to), totalsOfRows(rows, from, to));
    }
    ASSERT_FALSE(m_db.segments(day, midnight).empty());
    const std::int64_t excluded = m_db.segments(day, midnight)[3].id;
    EXPECT_EQ(m_db.summarySegments(day, midnight, excluded),
              parts(m_db.segments(day, midnight, excluded), summaryPart));
}

// Rows written or rewritten by other statements than the tracker's insert: texts and kinds
// changed in place, to texts seen before and never seen, and rows inserted by a copy.
TEST_F(ReportQueriesTest, SeenContextsFollowEveryLaterWriteOfARowsTexts)
{
    const Date day = Calendar::date(1970, 1, 2);
    insertMixedHistory(m_db, day);
    const char* writes[] = {
        // Contexts added after this one get ids far beyond those handed out so far.
        "INSERT INTO contexts (id, domain, identifier, app_name)"
        " VALUES (1000000000000, 'far.example', '', '');",
        "UPDATE segments SET domain = 'fresh.example', kind = 'deep' WHERE id % 5 = 3;",
        "UPDATE segments SET domain = '', kind = 'idle' WHERE id % 7 = 1;",
        "UPDATE segments SET domain = '' WHERE id % 3 = 0;",
        "UPDATE segments SET bundle_id = NULL WHERE id % 11 = 2;",
        "UPDATE segments SET bundle_id = 'ORG.Example.Editor', app_name = 'Renamed'"
        " WHERE id % 13 = 4;",
        "UPDATE segments SET kind = 'shallow' WHERE kind = 'idle' AND id % 2 = 0;",
        "INSERT INTO segments (start_ts, end_ts, bundle_id, app_name, domain, kind)"
        " SELECT start_ts + 0.5, end_ts, bundle_id, app_name || ' copy', domain, kind"
        " FROM segments WHERE id % 17 = 5;",
    };
    const Date from = day - 1800.5;
    const Date to = Calendar::addingDays(day, 2) + 0.25;
    for (const char* write : writes) {
        m_db.execute(write);
        const auto rows = m_db.segments(from, to);
        EXPECT_EQ(m_db.seenContexts(from, to, -1), seenContextsOf(rows, rows.size())) << write;
    }
}

TEST(FocusSessionEntry, OnTaskFormatted)
{
    const std::pair<double, const char*> cases[] = {
        {0, "0s"},   {0.9, "0s"},   {59, "59s"},     {60, "1m"},
        {119, "1m"}, {3599, "59m"}, {3600, "1h 0m"}, {7500, "2h 5m"},
    };
    for (const auto& [seconds, text] : cases) {
        FocusSessionEntry entry;
        entry.onTaskSeconds = seconds;
        EXPECT_EQ(entry.onTaskFormatted(), text) << seconds;
    }
}

TEST_F(ReportQueriesTest, FocusTaskRecordsAndTheDaysLockdownFigures)
{
    const Date day = Calendar::date(2026, 5, 4);
    FocusTask running = task(day + 9 * 3600, 1500.9, true, FocusTask::EndReason::completed);
    running.endedAt.reset();
    m_db.insertFocusTask(running, true);
    m_db.insertFocusTask(task(day + 23 * 3600 + 50 * 60, 700, true, std::nullopt), false);
    m_db.insertFocusTask(task(day + 10 * 3600, 900, false, FocusTask::EndReason::completed), true);
    for (int i = 0; i < 3; ++i) {
        m_db.recordLockdownBlock(running.id, day + 9 * 3600 + i, "org.example.game");
    }
    m_db.recordLockdownBlock(running.id, day + 86400 + 5, "org.example.game");
    EXPECT_EQ(m_db.lockdownStats(day + 12 * 3600), (LockdownStats{2, 2200, 3, 0.5}));
    EXPECT_EQ(m_db.lockdownStats(day + 86400 + 3600), (LockdownStats{0, 0, 1, 0}));

    const auto history = m_db.recentFocusTasks(3);
    ASSERT_EQ(history.size(), 3u);
    EXPECT_EQ(history[0].endedReason, std::nullopt);
    EXPECT_EQ(history[2].startedAt, running.startedAt);
    EXPECT_EQ(history[2].endedAt, m_clock.now()) << "a task without an end ends at the insert";
    EXPECT_EQ(history[2].onTaskSeconds, 1500);
    EXPECT_EQ(history[2].endedReason, "completed");
    EXPECT_EQ(m_db.recentFocusTasks(1).size(), 1u);
    EXPECT_NE(m_db.recentFocusTasks(1)[0].id, history[0].id);
}

TEST_F(ReportQueriesTest, PlansAreFoundAgainOnTheSameDayAndUnreadableListsAreKept)
{
    DayPlan plan = DayPlan::empty(Calendar::date(2026, 5, 4, 15), m_clock.now());
    plan.context = "Release week";
    plan.urgent = {"Fix the crash"};
    plan.completedAt = m_clock.now();
    m_db.upsertDayPlan(plan);
    plan.day = Calendar::date(2026, 5, 4);
    EXPECT_EQ(m_db.dayPlan(Calendar::date(2026, 5, 4, 8)), plan);

    m_db.execute("UPDATE day_plans SET blocks = '[{\"broken\"';");
    auto read = m_db.dayPlan(plan.day);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, plan) << "an unreadable list reads as empty, the rest intact";
    read->other = "edited";
    m_db.upsertDayPlan(*read);
    EXPECT_EQ(raw("SELECT blocks || '|' || other FROM day_plans;"), "[{\"broken\"|edited");
}
