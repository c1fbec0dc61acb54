#include "Platform/Log.h"
#include "Storage/Database.h"
#include "StorageFixture.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace kestrove;

namespace {

const std::string kLegacyTable =
    "CREATE TABLE app_events (id INTEGER PRIMARY KEY, timestamp REAL, bundle_id TEXT,"
    " app_name TEXT, window_title TEXT, browser_url TEXT, keystroke_count INTEGER,"
    " is_idle INTEGER, category TEXT, project_name TEXT, detected_project TEXT);";

Segment titled(Date start, Date end, std::optional<std::string> bundleID, std::string title)
{
    Segment s;
    s.start = start;
    s.end = end;
    s.bundleID = std::move(bundleID);
    s.appName = "App";
    s.windowTitle = std::move(title);
    s.url = "https://example.org/x";
    s.domain = "example.org";
    return s;
}

std::vector<std::string> titlesOf(const std::vector<Segment>& segments)
{
    std::vector<std::string> titles;
    for (const auto& s : segments) {
        titles.push_back(s.windowTitle);
    }
    return titles;
}

// Turns a file into one written before segments referred to their contexts.
const std::string kOlderLayout =
    "DELETE FROM meta WHERE key = 'segment_contexts';"
    " DROP TRIGGER segments_context_on_insert; DROP TRIGGER segments_context_on_update;"
    " DROP INDEX idx_segments_seen; ALTER TABLE segments DROP COLUMN context_id;"
    " DROP TABLE contexts;";

std::string bytesOf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

} // namespace

class HistoryRewritesTest : public StorageTest
{
};

TEST_F(HistoryRewritesTest, ImportsOlderSamplesAsSegmentsOnce)
{
    raw(kLegacyTable + "INSERT INTO app_events VALUES"
                       " (1, 1000, 'e', 'Editor', 'a.txt', '', 5, 0, 'deep_work', 'P', 'p'),"
                       " (2, 1010, 'e', 'Editor', 'a.txt', '', 0, 1, 'deep_work', NULL, NULL),"
                       " (3, 1100, 'com.apple.loginwindow', 'Login', '', '', 0, 0, 'shallow_work',"
                       "  NULL, NULL),"
                       " (5, 1130, 'b', 'B', 'Video', 'https://www.youtube.com/w', 0, 0,"
                       "  'deep_work', NULL, NULL),"
                       " (4, 1130, 'b', 'B', 'Dropped', '', 0, 0, 'deep_work', NULL, NULL),"
                       " (6, 1200, 'b', 'B', 'Blank', 'about:blank', 0, 0, 'shallow_work', NULL,"
                       "  NULL);");
    Database db(m_path, m_clock);
    db.open();
    using Row = std::tuple<Date, Date, ContextKind, std::string>;
    const std::vector<Row> expected = {
        {1000, 1010, ContextKind::deep, ""},
        {1010, 1055, ContextKind::idle, ""},
        {1100, 1130, ContextKind::idle, ""},
        {1130, 1175, ContextKind::distraction, "youtube.com"},
        {1200, 1230, ContextKind::shallow, ""},
    };
    std::vector<Row> rows;
    for (const auto& s : db.segments(0, 5000)) {
        rows.emplace_back(s.start, s.end, s.kind, s.domain);
        EXPECT_EQ(s.source, Segment::Source::legacy);
    }
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(db.segments(1000, 1010)[0].project, "P");
    EXPECT_EQ(db.seenContexts(0, 5000, -1), seenContextsOf(db.segments(0, 5000), 10));
    db.close();
    db.open();
    EXPECT_EQ(db.segments(0, 5000).size(), expected.size()) << "imported once";
}

// Only a file into which older samples were really imported says so; a file that had none to
// import does not, and a file imported before the fact was kept learns it from its rows.
TEST_F(HistoryRewritesTest, RemembersWhetherOlderDataWasImported)
{
    {
        Database db(m_path, m_clock);
        db.open();
        EXPECT_FALSE(db.hasLegacyImport());
    }
    std::filesystem::remove(m_path);
    raw(kLegacyTable + "INSERT INTO app_events VALUES"
                       " (1, 1000, 'e', 'Editor', 'a.txt', '', 5, 0, 'deep_work', NULL, NULL);");
    {
        Database db(m_path, m_clock);
        db.open();
        EXPECT_TRUE(db.hasLegacyImport());
    }
    raw("DELETE FROM meta WHERE key = 'legacy_imported';");
    {
        Database db(m_path, m_clock);
        db.open();
        EXPECT_TRUE(db.hasLegacyImport());
    }
}

TEST_F(HistoryRewritesTest, NullsImportAsNeutralValues)
{
    raw(kLegacyTable + "INSERT INTO app_events VALUES"
                       " (1, 1000, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
                       " (2, NULL, 'b', 'B', '', '', 0, 0, 'deep_work', NULL, NULL),"
                       " (3, 1010, 'c', 'C', 'c.txt', '', 7, 0, 'deep_work', NULL, NULL);");
    Database db(m_path, m_clock);
    db.open();
    const auto rows = db.segments(0, 5000);
    ASSERT_EQ(rows.size(), 2u) << "a sample without a time is left out";
    const Segment& blank = rows[0];
    EXPECT_EQ(std::tie(blank.start, blank.end, blank.appName, blank.windowTitle, blank.url,
                       blank.keystrokes, blank.kind),
              std::make_tuple(1000.0, 1010.0, std::string("Unknown"), std::string(), std::string(),
                              std::int64_t{0}, ContextKind::neutral));
    EXPECT_EQ(blank.bundleID, std::nullopt);
    EXPECT_EQ(std::tie(rows[1].appName, rows[1].keystrokes),
              std::make_tuple(std::string("C"), std::int64_t{7}));
}

TEST_F(HistoryRewritesTest, AFailingRowRollsTheWholeImportBack)
{
    {
        Database db(m_path, m_clock);
        db.open();
    }
    raw(kLegacyTable + "INSERT INTO app_events VALUES (1, 1000, 'a', 'A', '', '', 0, 0, 'x',"
                       " NULL, NULL), (2, 1010, 'b', 'B', '', '', 0, 0, 'x', NULL, NULL);"
                       "DELETE FROM meta WHERE key = 'legacy_import_done';"
                       "CREATE TRIGGER refuse BEFORE INSERT ON segments WHEN NEW.app_name = 'B'"
                       " BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    Database db(m_path, m_clock);
    EXPECT_THROW(db.open(), DatabaseError);
    raw("DROP TRIGGER refuse;");
    db.open();
    EXPECT_EQ(db.segments(0, 5000).size(), 2u) << "nothing of the failed attempt may remain";
}

TEST_F(HistoryRewritesTest, ScrubsAddressesAndBrowserAndPrivateTitlesOnce)
{
    Database db(m_path, m_clock);
    db.open();
    db.insertSegment(titled(0, 10, "org.mozilla.firefox", "Inbox"));
    db.insertSegment(titled(10, 20, "org.secret.App", "Diary"));
    db.insertSegment(titled(20, 30, "org.example.editor", "main.cpp"));
    db.insertSegment(titled(30, 40, std::nullopt, "No identifier"));
    db.insertSegment(titled(35, 40, "org.Ärger.Notes", "Letter")); // beyond ASCII
    db.applyPrivacyPolicyIfNeeded({"org.mozilla.firefox"}, {"ORG.SECRET.APP", "ORG.ÄRGER.NOTES"});
    const auto rows = db.segments(0, 100);
    EXPECT_EQ(titlesOf(rows), (std::vector<std::string>{"", "", "main.cpp", "No identifier", ""}));
    for (const auto& s : rows) {
        EXPECT_EQ(s.url, "");
        EXPECT_EQ(s.domain, "example.org");
    }
    db.insertSegment(titled(40, 50, "org.mozilla.firefox", "Later"));
    db.applyPrivacyPolicyIfNeeded({"org.mozilla.firefox"}, {});
    EXPECT_EQ(db.segments(40, 50)[0].windowTitle, "Later") << "the scrub runs once per file";

    // Title retention: a segment that ends exactly at the cut-off keeps its title.
    db.eraseTitles(40);
    EXPECT_EQ(titlesOf(db.segments(0, 100)),
              (std::vector<std::string>{"", "", "", "No identifier", "", "Later"}));
}

TEST_F(HistoryRewritesTest, ScrubsInBatchesOverSparseIdsAndLeavesAnEmptyLog)
{
    Database db(m_path, m_clock);
    db.open();
    // Enough rows for more than one batch, then ids far apart and at both ends of their range:
    // batches follow the stored rows.
    db.execute("WITH RECURSIVE n(v) AS (SELECT 1 UNION ALL SELECT v + 1 FROM n WHERE v < 25000)"
               " INSERT INTO segments (start_ts, end_ts, app_name, window_title, url, kind)"
               " SELECT v, v + 1, 'App', 'Kept', 'https://example.org/y', 'deep' FROM n;");
    const std::int64_t ids[] = {INT64_MIN, -5, 30000, 49999, 50000, 50001, 75000, INT64_MAX};
    std::string insert = "INSERT INTO segments (id, start_ts, end_ts, bundle_id, app_name,"
                         " window_title, url, domain, kind) VALUES ";
    for (std::size_t i = 0; i < std::size(ids); ++i) {
        const char* bundleID = i % 2 ? "org.mozilla.firefox" : "org.example.editor";
        insert += std::string(i ? ", " : "") + "(" + std::to_string(ids[i]) + ", " +
                  std::to_string(i * 10) + ", " + std::to_string(i * 10 + 5) + ", '" + bundleID +
                  "', 'App', 'Title', 'https://example.org/x', 'example.org', 'deep')";
    }
    db.execute(insert + ";");
    std::vector<std::string> lines;
    Log::setSink(
        [&](Log::Level, const std::string&, const std::string& line) { lines.push_back(line); });
    db.applyPrivacyPolicyIfNeeded({"org.mozilla.firefox"}, {});
    Log::setSink(nullptr);

    EXPECT_EQ(raw("SELECT COUNT(*) FROM segments WHERE url != '';"), "0");
    EXPECT_EQ(raw("SELECT group_concat(window_title, '|') FROM segments WHERE id IN (" +
                  std::to_string(INT64_MIN) + ", -5, 30000, 49999, 50000, 50001, 75000, " +
                  std::to_string(INT64_MAX) + ") ORDER BY id;"),
              "Title||Title||Title||Title|");
    EXPECT_EQ(raw("SELECT COUNT(*) FROM segments WHERE window_title = 'Kept';"), "25000");
    std::error_code error;
    EXPECT_EQ(std::filesystem::file_size(m_path + "-wal", error), 0u)
        << "the log is emptied after the file is compacted";
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.front(),
              "privacy scrub: removing stored addresses and private titles from 25008 rows");
    EXPECT_EQ(lines.back(), "privacy scrub: 100% done");
}

TEST_F(HistoryRewritesTest, TitleErasureSearchesShortIndexRangesWithTheSameResult)
{
    {
        Database db(m_path, m_clock);
        db.open();
    }
    raw("DROP INDEX idx_segments_titled_start;"); // a file from before the index
    Database db(m_path, m_clock);
    db.open();
    db.insertSegment(titled(10, 20, "a", "Old"));
    db.insertSegment(titled(30, 50, "a", "Across the cut-off"));
    db.insertSegment(titled(60, 35, "a", "Ends before it starts")); // a clock set back
    db.insertSegment(titled(60, 45, "a", "Same, after the cut-off"));
    db.eraseTitles(40);
    EXPECT_EQ(titlesOf(db.segments(-100, 100)),
              (std::vector<std::string>{"", "Across the cut-off"}));
    EXPECT_EQ(raw("SELECT group_concat(window_title, '|') FROM segments WHERE start_ts = 60;"),
              "|Same, after the cut-off");

    std::string plans;
    for (const char* condition :
         {"start_ts < ?1 AND end_ts < ?1", "end_ts - start_ts < 0 AND end_ts < ?1"}) {
        const std::string sql = "EXPLAIN QUERY PLAN UPDATE segments SET window_title = ''"
                                " WHERE window_title != '' AND " +
                                std::string(condition) + ";";
        sqlite3* conn = nullptr;
        sqlite3_open(m_path.c_str(), &conn);
        sqlite3_stmt* plan = nullptr;
        sqlite3_prepare_v2(conn, sql.c_str(), -1, &plan, nullptr);
        while (sqlite3_step(plan) == SQLITE_ROW) {
            plans += reinterpret_cast<const char*>(sqlite3_column_text(plan, 3));
            plans += "\n";
        }
        sqlite3_finalize(plan);
        sqlite3_close(conn);
    }
    EXPECT_EQ(plans, "SEARCH segments USING INDEX idx_segments_titled_start (start_ts<?)\n"
                     "SEARCH segments USING INDEX idx_segments_length (<expr><?)\n");
}

TEST_F(HistoryRewritesTest, DeletingAllHistoryIsAllOrNothing)
{
    Database db(m_path, m_clock);
    db.open();
    db.insertSegment(titled(m_clock.now() - 60, m_clock.now(), "a", "x"));
    FocusTask task;
    task.id = "6F1C3D2E-0000-4000-8000-000000000001";
    db.insertFocusTask(task, true);
    db.recordLockdownBlock(task.id, m_clock.now(), "org.example.game");
    db.upsertDayPlan(DayPlan::empty(m_clock.now(), m_clock.now()));

    db.execute("CREATE TRIGGER keep_plans BEFORE DELETE ON day_plans"
               " BEGIN SELECT RAISE(ABORT, 'plans are kept'); END;");
    EXPECT_THROW(db.deleteAllHistory(), DatabaseError);
    EXPECT_EQ(db.segments(0, 1e10).size(), 1u) << "a failed erase must leave everything";

    db.execute("DROP TRIGGER keep_plans;");
    m_clock.advance(500);
    db.deleteAllHistory();
    EXPECT_TRUE(db.segments(0, 1e10).empty());
    EXPECT_TRUE(db.recentFocusTasks(10).empty());
    EXPECT_EQ(db.lockdownStats(m_clock.now()).totalBlocks, 0);
    EXPECT_EQ(db.dayPlan(m_clock.now()), std::nullopt);
    EXPECT_EQ(db.accurateSince(), m_clock.now());
    EXPECT_EQ(raw("SELECT COUNT(*) FROM contexts;"), "0") << "the names of what was seen go too";
}

// Older samples imported into a file that already keeps contexts, their sites then found from
// their addresses: the import's own insert and the rewrite of domain and kind keep the
// references right.
TEST_F(HistoryRewritesTest, ImportAndReclassificationKeepSeenContextsRight)
{
    {
        Database db(m_path, m_clock);
        db.open();
        db.insertSegment(titled(500, 600, "org.mozilla.firefox", "Before"));
    }
    raw(kLegacyTable + "INSERT INTO app_events VALUES"
                       " (1, 1000, 'E', 'Editor', 'a.txt', '', 5, 0, 'deep_work', NULL, NULL),"
                       " (2, 1010, 'b', 'B', 'Video', 'https://www.youtube.com/w', 0, 0,"
                       "  'deep_work', NULL, NULL),"
                       " (3, 1040, 'b', 'B', 'Docs', 'https://example.org/d', 0, 0,"
                       "  'shallow_work', NULL, NULL),"
                       " (4, 1050, NULL, 'Editor', 'b.txt', '', 0, 0, 'deep_work', NULL, NULL);"
                       "DELETE FROM meta WHERE key = 'legacy_import_done';");
    Database db(m_path, m_clock);
    db.open();
    const auto rows = db.segments(0, 5000);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[2].domain, "youtube.com");
    EXPECT_EQ(db.seenContexts(0, 5000, -1), seenContextsOf(rows, rows.size()));
    EXPECT_EQ(db.seenContexts(700, 1045.5, 2), seenContextsOf(db.segments(700, 1045.5), 2));
}

// An older file gains its contexts at its first open, in batches with a short log, and reads
// the same before (read-only, untouched) and after; the next open has nothing left to do.
TEST_F(HistoryRewritesTest, AnOlderFileGainsItsContextsOnceWithTheSameSeenTimes)
{
    {
        Database db(m_path, m_clock);
        db.open();
        db.execute("WITH RECURSIVE n(v) AS (SELECT 1 UNION ALL SELECT v + 1 FROM n WHERE v < 25000)"
                   " INSERT INTO segments (start_ts, end_ts, bundle_id, app_name, domain, kind)"
                   " SELECT v * 1.5, v * 1.5 + (v % 9) * 0.7,"
                   "  CASE v % 4 WHEN 0 THEN NULL WHEN 1 THEN 'Org.Example.Editor'"
                   "  ELSE 'org.example.' || (v % 7) END,"
                   "  CASE v % 3 WHEN 0 THEN 'Éditeur' ELSE 'App ' || (v % 5) END,"
                   "  CASE WHEN v % 5 = 0 THEN 'site' || (v % 4) || '.example' ELSE '' END,"
                   "  CASE v % 6 WHEN 0 THEN 'idle' WHEN 1 THEN 'deep' ELSE 'shallow' END FROM n;");
        db.execute("INSERT INTO segments (id, start_ts, end_ts, app_name, kind) VALUES"
                   " (-9223372036854775808, 50, 90000, 'Long', 'deep'),"
                   " (9223372036854775807, 200, 210, 'Last', 'neutral');");
    }
    raw(kOlderLayout);
    const std::pair<Date, Date> ranges[] = {{0, 1e9}, {100.25, 20000.5}, {30000, 30000}};
    std::vector<std::vector<SeenContext>> before;
    const std::string older = bytesOf(m_path);
    {
        Database reader(m_path, Database::ReadOnly{}, m_clock);
        reader.openReadOnly();
        for (const auto& [from, to] : ranges) {
            const auto rows = reader.segments(from, to);
            before.push_back(reader.seenContexts(from, to, -1));
            EXPECT_EQ(before.back(), seenContextsOf(rows, rows.size()));
        }
    }
    EXPECT_EQ(bytesOf(m_path), older) << "a read-only open writes nothing";

    std::vector<std::string> lines;
    Log::setSink([&](Log::Level, const std::string&, const std::string& line) {
        if (line.starts_with("contexts:")) {
            lines.push_back(line);
        }
    });
    Database db(m_path, m_clock);
    db.open();
    std::error_code error;
    EXPECT_EQ(std::filesystem::file_size(m_path + "-wal", error), 0u);
    EXPECT_EQ(raw("SELECT COUNT(*) FROM segments WHERE context_id IS NULL;"), "0");
    for (std::size_t i = 0; i < std::size(ranges); ++i) {
        EXPECT_EQ(db.seenContexts(ranges[i].first, ranges[i].second, -1), before[i]) << i;
    }
    {
        Database reader(m_path, Database::ReadOnly{}, m_clock);
        reader.openReadOnly();
        EXPECT_EQ(reader.seenContexts(ranges[1].first, ranges[1].second, 4),
                  std::vector<SeenContext>(before[1].begin(), before[1].begin() + 4));
    }
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.front(), "contexts: recording the application or site of 25002 rows");
    EXPECT_EQ(lines.back(), "contexts: 100% done");

    lines.clear();
    db.close();
    db.open();
    Log::setSink(nullptr);
    EXPECT_TRUE(lines.empty()) << "a second open has nothing to do";
}
