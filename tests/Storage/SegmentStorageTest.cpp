#include "Storage/Database.h"
#include "StorageFixture.h"

#include <fstream>

using namespace kestrove;

namespace {

Segment segment(Date start, Date end, std::string appName = "Editor")
{
    Segment s;
    s.start = start;
    s.end = end;
    s.appName = std::move(appName);
    s.kind = ContextKind::deep;
    return s;
}

} // namespace

class SegmentStorageTest : public StorageTest
{
protected:
    SegmentStorageTest() { m_db.open(); }
    Database m_db{m_path, m_clock};
};

TEST_F(SegmentStorageTest, EveryFieldRoundTripsAndAbsentDiffersFromEmpty)
{
    Segment full = segment(1000.25, 2000.5);
    full.bundleID = "org.example.editor";
    full.windowTitle = "main.cpp";
    full.url = "https://example.org/a";
    full.domain = "example.org";
    full.kind = ContextKind::distraction;
    full.project = "Kestrove";
    full.area = "Work";
    full.detectedProject = "kestrove";
    full.focusTaskID = "6F1C3D2E-0000-4000-8000-000000000001";
    full.keystrokes = 1234567890123;
    full.source = Segment::Source::legacy;
    Segment empty = segment(2000.5, 2100);
    empty.bundleID = empty.project = empty.area = empty.detectedProject = empty.focusTaskID = "";
    std::vector<Segment> written = {full, empty, segment(2100, 2200)};
    for (auto& s : written) {
        s.id = m_db.insertSegment(s);
    }
    EXPECT_EQ(m_db.segments(0, 10000), written);

    m_db.updateSegment(written[2].id, 2500);
    m_db.deleteSegment(written[0].id);
    const auto after = m_db.segments(0, 10000);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[1].end, 2500);
}

TEST_F(SegmentStorageTest, ReadsRowsOverlappingTheRangeClippedToIt)
{
    const Date nine = 9 * 3600, ten = 10 * 3600, eleven = 11 * 3600, noon = 12 * 3600;
    const auto id = m_db.insertSegment(segment(nine, eleven));
    m_db.insertSegment(segment(ten, ten)); // empty once clipped: never returned
    const auto longOne = m_db.insertSegment(segment(-500000, nine - 3600));
    using Spans = std::vector<std::tuple<std::int64_t, Date, Date>>;
    const std::tuple<Date, Date, Spans> cases[] = {
        {ten, noon, {{id, ten, eleven}}},
        {eleven, noon, {}},
        {ten - 60, ten + 60, {{id, ten - 60, ten + 60}}},
        {nine - 3601, nine + 1, {{longOne, nine - 3601, nine - 3600}, {id, nine, nine + 1}}},
    };
    for (const auto& [from, to, expected] : cases) {
        Spans got;
        for (const auto& s : m_db.segments(from, to)) {
            got.emplace_back(s.id, s.start, s.end);
        }
        EXPECT_EQ(got, expected) << from << "-" << to;
    }
    EXPECT_TRUE(m_db.segments(nine, eleven, id).empty());
}

TEST_F(SegmentStorageTest, UnknownStoredTextsFallBack)
{
    m_db.execute("INSERT INTO segments (start_ts, end_ts, app_name, kind, source)"
                 " VALUES (1, 2, 'A', 'focus', 'imported'), (2, 3, 'B', 'Deep', 'legacy');");
    const auto rows = m_db.segments(0, 10);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(std::tie(rows[0].kind, rows[0].source),
              std::make_tuple(ContextKind::neutral, Segment::Source::live));
    EXPECT_EQ(std::tie(rows[1].kind, rows[1].source),
              std::make_tuple(ContextKind::neutral, Segment::Source::legacy));
}

TEST_F(SegmentStorageTest, AssignsOnlyUnassignedRowsByTheirHint)
{
    struct Row
    {
        std::optional<std::string> project, detected;
        std::string domain, app;
        std::optional<std::string> expected;
    };
    const Row rows[] = {
        {std::nullopt, "", "github.com", "Browser", "Kestrove"},
        {std::nullopt, "other", "github.com", "Browser", std::nullopt},
        {"Mine", std::nullopt, "github.com", "Browser", "Mine"},
        {std::nullopt, std::nullopt, "", "github.com", "Kestrove"},
        {std::nullopt, "github.com", "x.org", "Browser", "Kestrove"},
        {std::nullopt, std::nullopt, "y.org", "github.com", std::nullopt},
    };
    for (const auto& row : rows) {
        Segment s = segment(0, 10, row.app);
        s.project = row.project;
        s.detectedProject = row.detected;
        s.domain = row.domain;
        m_db.insertSegment(s);
    }
    m_db.assignUnassigned("github.com", "Kestrove", "Work");
    const auto stored = m_db.segments(0, 10);
    ASSERT_EQ(stored.size(), std::size(rows));
    for (std::size_t i = 0; i < stored.size(); ++i) {
        EXPECT_EQ(stored[i].project, rows[i].expected) << i;
    }
}

TEST_F(SegmentStorageTest, RenamingToNothingUnassignsAndRangeDeleteTakesOverlapsWhole)
{
    Segment s = segment(100, 200);
    s.project = "Old";
    s.area = "Work";
    m_db.insertSegment(s);
    m_db.renameProject("Old", std::nullopt, std::nullopt);
    const auto row = m_db.segments(0, 1000)[0];
    EXPECT_EQ(std::tie(row.project, row.area), std::make_tuple(std::nullopt, std::nullopt));

    m_db.insertSegment(segment(200, 300, "Seen only then"));
    m_db.insertSegment(segment(300, 400));
    m_db.deleteSegments(150, 300);
    const auto left = m_db.segments(0, 1000);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].start, 300);
    EXPECT_EQ(raw("SELECT group_concat(app_name) FROM contexts;"), "Editor")
        << "what was seen only in the deleted range is forgotten";

    m_db.execute("CREATE TRIGGER keep BEFORE DELETE ON segments"
                 " BEGIN SELECT RAISE(ABORT, 'kept'); END;");
    EXPECT_EQ(errorOf([&] { m_db.deleteSegments(0, 1000); }), "DB execute failed: kept");
}

TEST_F(SegmentStorageTest, StatementsKeptForReuseSurviveFailuresAndLetTheConnectionClose)
{
    const auto id = m_db.insertSegment(segment(0, 10));
    m_db.execute("CREATE TRIGGER refuse BEFORE UPDATE ON segments WHEN NEW.end_ts = 99"
                 " BEGIN SELECT RAISE(ABORT, 'refused'); END;"
                 "CREATE TRIGGER refuse_insert BEFORE INSERT ON segments WHEN NEW.app_name = 'No'"
                 " BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    EXPECT_EQ(errorOf([&] { m_db.updateSegment(id, 99); }), "DB execute failed: refused");
    EXPECT_EQ(errorOf([&] { m_db.insertSegment(segment(20, 30, "No")); }),
              "DB execute failed: refused");
    m_db.updateSegment(id, 15);
    const auto second = m_db.insertSegment(segment(20, 30));
    EXPECT_EQ(second, id + 1);
    ASSERT_EQ(m_db.segments(0, 100).size(), 2u);
    EXPECT_EQ(m_db.segments(0, 100)[0].end, 15);
    EXPECT_EQ(m_db.summarySegments(0, 100).size(), 2u);

    // A statement left prepared would keep the connection, and its log, open.
    m_db.close();
    EXPECT_FALSE(std::filesystem::exists(m_path + "-wal"));
    m_db.open();
    EXPECT_EQ(m_db.insertSegment(segment(40, 50)), second + 1) << "prepared anew after a reopen";
}

TEST_F(SegmentStorageTest, ReadingAWholeLargeHistoryMapsNoneOfTheFileAndKeepsItsCacheSmall)
{
    // About 12 MiB of rows, read whole: every page passes through the connection once.
    m_db.execute("BEGIN;");
    for (int i = 0; i < 3000; ++i) {
        Segment row = segment(i * 10.0, i * 10.0 + 9.5);
        row.windowTitle = std::string(4000, char('a' + i % 26));
        m_db.insertSegment(row);
    }
    m_db.execute("COMMIT;");
    ASSERT_GT(std::filesystem::file_size(m_path), 12u << 20);
    ASSERT_EQ(m_db.segments(0, 30000).size(), 3000u);

    // Mapped pages of the file would stay resident long after the read. (Its write-ahead
    // log's index, the -shm file, is always mapped; it is small.)
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        EXPECT_FALSE(line.ends_with(" " + m_path)) << line;
    }
    // Everything SQLite holds in this process: the page cache and the prepared statements.
    EXPECT_LT(sqlite3_memory_used(), 1536 << 10);
}
