#include "Storage/Database.h"
#include "StorageFixture.h"
#include "core/Calendar.h"
#include "core/NumberFormat.h"
#include "support/TimeZone.h"

#include <fstream>
#include <sstream>
#include <sys/stat.h>

using namespace kestrove;

namespace {

mode_t modeOf(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

std::string contentsOf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

class DatabaseTest : public StorageTest
{
};

TEST_F(DatabaseTest, FreshOpenCreatesPrivateFilesSchemaAndMarker)
{
    Database db(m_path, m_clock);
    db.open();
    EXPECT_EQ(modeOf(m_root + "/Kestrove"), 0700u);
    for (const char* suffix : {"", "-wal", "-shm"}) {
        EXPECT_EQ(modeOf(m_path + suffix), 0600u) << suffix;
    }
    EXPECT_EQ(db.columns("focus_tasks").size(), 15u);
    EXPECT_EQ(db.columns("segments").size(), 15u);
    EXPECT_EQ(db.columns("day_plans").size(), 11u);
    EXPECT_EQ(db.meta("segments_since"), NumberFormat::shortest(m_clock.now()));
    EXPECT_EQ(db.accurateSince(), m_clock.now());
}

TEST_F(DatabaseTest, ReopeningChangesNothing)
{
    Database db(m_path, m_clock);
    db.open();
    db.close();
    m_clock.advance(3600);
    db.open();
    db.open();
    EXPECT_EQ(db.accurateSince(), m_clock.now() - 3600);
}

TEST_F(DatabaseTest, MigratesOlderFocusTaskTables)
{
    const std::string base = "id INTEGER PRIMARY KEY AUTOINCREMENT, started_at REAL NOT NULL,"
                             " ended_at REAL NOT NULL, task_name TEXT NOT NULL,"
                             " estimated_seconds INTEGER NOT NULL,"
                             " actual_active_seconds INTEGER NOT NULL,"
                             " completed INTEGER NOT NULL DEFAULT 0,"
                             " avg_score REAL NOT NULL DEFAULT 0.0, allowed_bundle_ids TEXT,"
                             " allowed_url_patterns TEXT";
    for (const std::string extra : {"", ", is_lockdown INTEGER NOT NULL DEFAULT 0,"
                                        " breakout_attempts INTEGER NOT NULL DEFAULT 0,"
                                        " ended_reason TEXT, task_uuid TEXT"}) {
        std::filesystem::remove_all(m_root + "/Kestrove");
        std::filesystem::create_directories(m_root + "/Kestrove");
        rawExec("CREATE TABLE focus_tasks (" + base + extra +
                "); INSERT INTO focus_tasks (started_at, ended_at, task_name, estimated_seconds,"
                " actual_active_seconds) VALUES (1, 2, 'old', 60, 30);");
        Database db(m_path, m_clock);
        db.open();
        const auto columns = db.columns("focus_tasks");
        for (const char* name :
             {"is_lockdown", "breakout_attempts", "ended_reason", "task_uuid", "project"}) {
            EXPECT_TRUE(columns.contains(name)) << name;
        }
        EXPECT_EQ(columns.size(), 15u);
        db.close();
        EXPECT_NO_THROW(db.open()) << "a second open must add nothing";
    }
}

TEST_F(DatabaseTest, AccurateSinceReadsOnlyWholeDecimals)
{
    Database db(m_path, m_clock);
    db.open();
    const std::pair<const char*, std::optional<Date>> cases[] = {
        {"", std::nullopt},           {" 1700000000", std::nullopt}, {"17000abc", std::nullopt},
        {"1700000000", 1700000000.0}, {"1700000000.5", 1700000000.5}, {"nan", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        db.setMeta("segments_since", text);
        EXPECT_EQ(db.accurateSince(), expected) << '"' << text << '"';
    }
}

TEST_F(DatabaseTest, EveryOperationFailsWithNoDbWhenClosed)
{
    Database db(m_path, m_clock);
    db.open();
    db.close();
    try {
        db.insertSegment(Segment{});
        FAIL() << "insert on a closed database succeeded";
    } catch (const DatabaseError& error) {
        EXPECT_EQ(error.kind(), DatabaseError::Kind::prepareFailed);
        EXPECT_STREQ(error.what(), "DB prepare failed: no db");
    }
    EXPECT_THROW(
        {
            try {
                db.execute("VACUUM;");
            } catch (const DatabaseError& error) {
                EXPECT_STREQ(error.what(), "DB execute failed: no db");
                throw;
            }
        },
        DatabaseError);
    EXPECT_EQ(db.meta("segments_since"), std::nullopt);
}

TEST_F(DatabaseTest, LeavesAFileThatIsNotADatabaseUntouched)
{
    Database db(m_path, m_clock);
    const std::string original = "my notes, not a database\n";
    std::ofstream(m_path, std::ios::binary) << original;
    try {
        db.open();
        FAIL() << "opened a file that is not a database";
    } catch (const DatabaseError& error) {
        EXPECT_EQ(std::string(error.what()), "DB open failed: " + m_path);
    }
    EXPECT_EQ(contentsOf(m_path), original);
    EXPECT_FALSE(std::filesystem::exists(m_path + "-wal"));
    EXPECT_FALSE(db.isOpen());
    ASSERT_TRUE(db.openError());
    EXPECT_THROW(db.segments(0, 1), DatabaseError);
}

TEST_F(DatabaseTest, AFailedSetUpLeavesNoHalfOpenedConnection)
{
    std::filesystem::create_directories(m_root + "/Kestrove");
    rawExec("CREATE VIEW focus_tasks AS SELECT 1 AS id;");
    Database db(m_path, m_clock);
    EXPECT_THROW(db.open(), DatabaseError);
    EXPECT_FALSE(db.isOpen());
    try {
        db.insertSegment(Segment{});
        FAIL();
    } catch (const DatabaseError& error) {
        EXPECT_STREQ(error.what(), "DB prepare failed: no db");
    }
}

TEST_F(DatabaseTest, DayBoundsFollowLocalMidnights)
{
    ScopedTimeZone tz("Europe/Berlin");
    const auto [start, end] = Database::dayBounds(Calendar::date(2026, 3, 29, 15, 0));
    EXPECT_EQ(start, Calendar::date(2026, 3, 29));
    EXPECT_EQ(end - start, 23 * 3600);
}

TEST(DatabaseLocation, FollowsXdgDataHomeWhenItIsAnAbsolutePath)
{
    const char* savedXdg = std::getenv("XDG_DATA_HOME");
    const std::string saved = savedXdg ? savedXdg : "";
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const std::pair<const char*, std::string> cases[] = {
        {"/data/user", "/data/user/Kestrove/kestrove.db"},
        {"relative/data", home + "/.local/share/Kestrove/kestrove.db"},
        {"", home + "/.local/share/Kestrove/kestrove.db"},
    };
    for (const auto& [xdg, expected] : cases) {
        setenv("XDG_DATA_HOME", xdg, 1);
        EXPECT_EQ(Database::defaultPath(), expected) << xdg;
    }
    savedXdg ? setenv("XDG_DATA_HOME", saved.c_str(), 1) : unsetenv("XDG_DATA_HOME");
}
