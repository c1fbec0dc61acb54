#include "Storage/Database.h"
#include "StorageFixture.h"
#include "core/NumberFormat.h"

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

} // namespace

class DatabaseTest : public StorageTest
{
};

TEST_F(DatabaseTest, OpensOnceAndAgainWithPrivateFilesSchemaAndMarkers)
{
    std::filesystem::remove_all(m_root + "/Kestrove");
    Database db(m_path, m_clock);
    db.open();
    EXPECT_EQ(modeOf(m_root + "/Kestrove"), 0700u);
    for (const char* suffix : {"", "-wal", "-shm"}) {
        EXPECT_EQ(modeOf(m_path + suffix), 0600u) << suffix;
    }
    EXPECT_EQ(db.columns("focus_tasks").size(), 15u);
    EXPECT_EQ(db.columns("segments").size(), 15u);
    EXPECT_EQ(db.meta("segments_since"), NumberFormat::shortest(m_clock.now()));
    EXPECT_EQ(db.meta("legacy_import_done"), "1");

    const Date firstOpen = m_clock.now();
    m_clock.advance(3600);
    db.close();
    db.open();
    db.open();
    EXPECT_EQ(db.accurateSince(), firstOpen);
}

TEST_F(DatabaseTest, MigratesOlderFocusTaskTables)
{
    const std::string base =
        "id INTEGER PRIMARY KEY, started_at REAL NOT NULL, ended_at REAL NOT NULL, task_name"
        " TEXT NOT NULL, estimated_seconds INTEGER NOT NULL, actual_active_seconds INTEGER NOT"
        " NULL, completed INTEGER, avg_score REAL, allowed_bundle_ids TEXT, allowed_url_patterns"
        " TEXT";
    for (const std::string extra : {"", ", is_lockdown INTEGER, breakout_attempts INTEGER,"
                                        " ended_reason TEXT, task_uuid TEXT"}) {
        std::filesystem::remove(m_path);
        raw("CREATE TABLE focus_tasks (" + base + extra + ");");
        Database db(m_path, m_clock);
        db.open();
        const auto columns = db.columns("focus_tasks");
        EXPECT_EQ(columns.size(), 15u);
        for (const char* name :
             {"is_lockdown", "breakout_attempts", "ended_reason", "task_uuid", "project"}) {
            EXPECT_TRUE(columns.contains(name)) << name;
        }
        db.close();
        EXPECT_NO_THROW(db.open()) << "a second open must add nothing";
    }
}

TEST_F(DatabaseTest, AccurateSinceReadsOnlyWholeDecimals)
{
    Database db(m_path, m_clock);
    db.open();
    const std::pair<const char*, std::optional<Date>> cases[] = {
        {"", std::nullopt},           {" 1700000000", std::nullopt},  {"17000abc", std::nullopt},
        {"1700000000", 1700000000.0}, {"1700000000.5", 1700000000.5}, {"nan", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        db.setMeta("segments_since", text);
        EXPECT_EQ(db.accurateSince(), expected) << '"' << text << '"';
    }
}

TEST_F(DatabaseTest, WithoutAConnectionEveryOperationFailsWithNoDb)
{
    Database db(m_path, m_clock);
    db.open();
    db.updateSegment(1, 2); // leaves its prepared statement behind, which close() must end
    db.close();
    EXPECT_EQ(errorOf([&] { db.insertSegment(Segment{}); }), "DB prepare failed: no db");
    EXPECT_EQ(errorOf([&] { db.updateSegment(1, 3); }), "DB prepare failed: no db");
    EXPECT_EQ(errorOf([&] { db.execute("VACUUM;"); }), "DB execute failed: no db");
    EXPECT_EQ(db.meta("segments_since"), std::nullopt);

    // A failed set-up leaves no half-opened connection behind.
    std::filesystem::remove(m_path);
    raw("CREATE VIEW focus_tasks AS SELECT 1 AS id;");
    EXPECT_NE(errorOf([&] { db.open(); }), "");
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(errorOf([&] { db.segments(0, 1); }), "DB prepare failed: no db");
}

TEST_F(DatabaseTest, LeavesAFileThatIsNotADatabaseUntouched)
{
    const std::string original = "my notes, not a database\n";
    std::ofstream(m_path, std::ios::binary) << original;
    Database db(m_path, m_clock);
    EXPECT_EQ(errorOf([&] { db.open(); }), "DB open failed: " + m_path);
    ASSERT_TRUE(db.openError());
    std::stringstream contents;
    contents << std::ifstream(m_path, std::ios::binary).rdbuf();
    EXPECT_EQ(contents.str(), original);
    EXPECT_FALSE(std::filesystem::exists(m_path + "-wal"));
}

TEST(DatabaseLocation, FollowsXdgDataHomeWhenItIsAnAbsolutePath)
{
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string savedText = saved ? saved : "";
    const std::string fallback = std::string(std::getenv("HOME")) + "/.local/share";
    for (const auto& [xdg, folder] : {std::pair<const char*, std::string>{"/data/u", "/data/u"},
                                      {"relative", fallback},
                                      {"", fallback}}) {
        setenv("XDG_DATA_HOME", xdg, 1);
        EXPECT_EQ(Database::defaultPath(), folder + "/Kestrove/kestrove.db") << xdg;
    }
    saved ? setenv("XDG_DATA_HOME", savedText.c_str(), 1) : unsetenv("XDG_DATA_HOME");
}
