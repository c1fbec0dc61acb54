#include "Storage/Database.h"
#include "Storage/Statement.h"
#include "StorageFixture.h"

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

std::vector<std::int64_t> idsOf(const std::vector<Segment>& segments)
{
    std::vector<std::int64_t> ids;
    for (const auto& s : segments) {
        ids.push_back(s.id);
    }
    return ids;
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
    empty.bundleID = "";
    empty.project = "";
    empty.area = "";
    empty.detectedProject = "";
    empty.focusTaskID = "";
    const Segment absent = segment(2100, 2200);

    std::vector<Segment> written = {full, empty, absent};
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
    const auto empty = m_db.insertSegment(segment(ten, ten));
    struct Case
    {
        Date from, to;
        std::vector<std::pair<Date, Date>> expected;
    };
    const Case cases[] = {
        {ten, noon, {{ten, eleven}}},          {eleven, noon, {}}, {0, nine, {}},
        {nine, eleven, {{nine, eleven}}},       {ten - 60, ten + 60, {{ten - 60, ten + 60}}},
    };
    for (const auto& c : cases) {
        std::vector<std::pair<Date, Date>> got;
        for (const auto& s : m_db.segments(c.from, c.to)) {
            EXPECT_EQ(s.id, id) << "the empty segment " << empty << " must be dropped";
            got.emplace_back(s.start, s.end);
        }
        EXPECT_EQ(got, c.expected) << c.from << "-" << c.to;
    }
    EXPECT_TRUE(m_db.segments(nine, eleven, id).empty());
}

TEST_F(SegmentStorageTest, ReadsLongRowsThatStartFarBeforeTheRange)
{
    const auto longOne = m_db.insertSegment(segment(0, 500000));
    const auto shortOne = m_db.insertSegment(segment(400000, 400010));
    EXPECT_EQ(idsOf(m_db.segments(400000, 400100)), (std::vector{longOne, shortOne}));
}

TEST_F(SegmentStorageTest, UnknownOrMissingStoredTextsFallBack)
{
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &raw), SQLITE_OK);
    {
        Statement nulls(raw, "SELECT 7, 1.0, 2.0, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,"
                             " NULL, NULL, NULL, NULL;");
        ASSERT_TRUE(nulls.next());
        const Segment s = Database::mapSegment(nulls);
        EXPECT_EQ(s.appName, "Unknown");
        EXPECT_EQ(s.kind, ContextKind::neutral);
        EXPECT_EQ(s.source, Segment::Source::live);
        EXPECT_EQ(s.bundleID, std::nullopt);
        EXPECT_EQ(s.keystrokes, 0);
    }
    sqlite3_close(raw);

    m_db.execute("INSERT INTO segments (start_ts, end_ts, app_name, kind, source)"
                 " VALUES (1, 2, 'A', 'focus', 'imported'), (2, 3, 'B', 'Deep', 'legacy');");
    const auto rows = m_db.segments(0, 10);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].kind, ContextKind::neutral);
    EXPECT_EQ(rows[0].source, Segment::Source::live);
    EXPECT_EQ(rows[1].kind, ContextKind::neutral);
    EXPECT_EQ(rows[1].source, Segment::Source::legacy);
}

TEST_F(SegmentStorageTest, AssignsOnlyUnassignedRowsByTheirHint)
{
    auto row = [&](std::optional<std::string> project, std::optional<std::string> detected,
                   std::string domain, std::string app) {
        Segment s = segment(0, 10, std::move(app));
        s.project = std::move(project);
        s.detectedProject = std::move(detected);
        s.domain = std::move(domain);
        return m_db.insertSegment(s);
    };
    const auto byDomain = row(std::nullopt, "", "github.com", "Browser");
    const auto otherHint = row(std::nullopt, "other", "github.com", "Browser");
    const auto assigned = row("Mine", std::nullopt, "github.com", "Browser");
    const auto byApp = row(std::nullopt, std::nullopt, "", "github.com");
    const auto byDetected = row(std::nullopt, "github.com", "x.org", "Browser");
    const auto appWithDomain = row(std::nullopt, std::nullopt, "y.org", "github.com");

    m_db.assignUnassigned("github.com", "Kestrove", "Work");
    std::map<std::int64_t, std::optional<std::string>> projects;
    for (const auto& s : m_db.segments(0, 10)) {
        projects[s.id] = s.project;
    }
    EXPECT_EQ(projects[byDomain], "Kestrove");
    EXPECT_EQ(projects[otherHint], std::nullopt);
    EXPECT_EQ(projects[assigned], "Mine");
    EXPECT_EQ(projects[byApp], "Kestrove");
    EXPECT_EQ(projects[byDetected], "Kestrove");
    EXPECT_EQ(projects[appWithDomain], std::nullopt);
}

TEST_F(SegmentStorageTest, RenamingToNothingUnassignsAndRangeDeleteTakesOverlapsWhole)
{
    Segment s = segment(100, 200);
    s.project = "Old";
    s.area = "Work";
    m_db.insertSegment(s);
    m_db.renameProject("Old", "New", std::nullopt);
    EXPECT_EQ(m_db.segments(0, 1000)[0].project, "New");
    m_db.renameProject("New", std::nullopt, std::nullopt);
    const auto row = m_db.segments(0, 1000)[0];
    EXPECT_EQ(row.project, std::nullopt);
    EXPECT_EQ(row.area, std::nullopt);

    m_db.insertSegment(segment(200, 300));
    m_db.insertSegment(segment(300, 400));
    m_db.deleteSegments(150, 300);
    const auto left = m_db.segments(0, 1000);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].start, 300);
}
