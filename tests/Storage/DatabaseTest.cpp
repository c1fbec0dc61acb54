#include "Storage/Database.h"
#include "StorageFixture.h"
#include "core/NumberFormat.h"

#include <chrono>
#include <fstream>
#include <functional>
#include <future>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace kestrove;

namespace {

constexpr uid_t kNobody = 65534;

// A file's bytes, or a folder's entries, or its kind: what must not change.
std::string snapshot(const std::string& path)
{
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0) {
        return "missing";
    }
    if (S_ISDIR(info.st_mode)) {
        std::string entries = "folder:";
        for (const auto& entry : std::filesystem::directory_iterator(path)) {
            entries += entry.path().filename().string() + ";";
        }
        return entries;
    }
    if (!S_ISREG(info.st_mode)) {
        return "special";
    }
    std::stringstream contents;
    contents << std::ifstream(path, std::ios::binary).rdbuf();
    return contents.str();
}

// The error of opening `path` as the user `uid` (in a child process when that is not us).
// Whether every folder from `folder` up to the root lets other users through (some sandboxes
// keep their root folder to root alone).
bool othersMayPassThrough(std::filesystem::path folder)
{
    for (; !folder.empty(); folder = folder.parent_path()) {
        struct stat info;
        if (::stat(folder.c_str(), &info) != 0 || (info.st_mode & S_IXOTH) == 0) {
            return false;
        }
        if (folder == folder.root_path()) {
            return true;
        }
    }
    return true;
}

std::string openAsUser(uid_t uid, const std::string& path)
{
    const auto open = [&] {
        try {
            Database(path).open();
        } catch (const DatabaseError& error) {
            return std::string(error.what());
        }
        return std::string();
    };
    if (uid == ::geteuid()) {
        return open();
    }
    int pipe[2];
    if (::pipe(pipe) != 0) {
        return "no pipe";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        if (::setgid(uid) != 0 || ::setuid(uid) != 0) {
            ::_exit(2);
        }
        const std::string error = open();
        [[maybe_unused]] const auto written = ::write(pipe[1], error.data(), error.size());
        ::_exit(0);
    }
    ::close(pipe[1]);
    std::string error;
    char buffer[512];
    for (ssize_t read; (read = ::read(pipe[0], buffer, sizeof buffer)) > 0;) {
        error.append(buffer, static_cast<std::size_t>(read));
    }
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return error;
}

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
    EXPECT_EQ(db.columns("segments").size(), 16u);
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

TEST_F(DatabaseTest, AnUnusablePathSaysWhyAndIsLeftUntouched)
{
    const std::string header("SQLite format 3\0", 16);
    struct Case
    {
        const char* name;
        std::function<void(const std::string& path)> arrange;
        const char* reason;
    };
    const auto writeFile = [](std::string contents) {
        return [contents](const std::string& path) {
            std::ofstream(path, std::ios::binary) << contents;
        };
    };
    const Case cases[] = {
        {"a folder", [](const std::string& path) { std::filesystem::create_directory(path); },
         "it is a folder, not a database file; move or rename it"},
        {"a text file", writeFile("my notes, not a database\n"),
         "it is not a Kestrove database and was left untouched; move it aside"},
        {"a short file", writeFile("SQLite"), "it is not a Kestrove database"},
        {"random bytes",
         writeFile(std::string("\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01", 11) +
                   std::string(5000, '\x7f')),
         "it is not a Kestrove database"},
        {"a damaged database", writeFile(header + std::string(8192, '\xa5')),
         "it is not a Kestrove database"},
        {"a named pipe", [](const std::string& path) { ::mkfifo(path.c_str(), 0600); },
         "it is not a regular file"},
    };
    for (const Case& test : cases) {
        std::filesystem::remove_all(m_root + "/Kestrove");
        std::filesystem::create_directories(m_root + "/Kestrove");
        test.arrange(m_path);
        const auto before = snapshot(m_path);
        Database db(m_path, m_clock);
        const std::string error = errorOf([&] { db.open(); });
        EXPECT_EQ(error.rfind("DB open failed: " + m_path + ": " + test.reason, 0), 0u)
            << test.name << ": " << error;
        ASSERT_TRUE(db.openError()) << test.name;
        EXPECT_EQ(db.openError()->what(), error);
        EXPECT_FALSE(db.isOpen());
        EXPECT_EQ(snapshot(m_path), before) << test.name;
        EXPECT_FALSE(std::filesystem::exists(m_path + "-wal")) << test.name;
        EXPECT_FALSE(std::filesystem::exists(m_path + "-shm")) << test.name;
    }

    // A file where the folder should be.
    std::filesystem::remove_all(m_root + "/Kestrove");
    std::ofstream(m_root + "/Kestrove") << "x";
    Database db(m_path, m_clock);
    EXPECT_EQ(errorOf([&] { db.open(); }),
              "DB open failed: " + m_path + ": its folder " + m_root + "/Kestrove is not a folder");
}

TEST_F(DatabaseTest, APathTheUserMayNotWriteSaysPermissionDenied)
{
    // The owner of a folder that Kestrove cannot make its own, and of the file.
    std::filesystem::create_directories(m_root + "/theirs");
    std::filesystem::create_directories(m_root + "/own");
    std::ofstream(m_root + "/own/kestrove.db") << "";
    ::chmod((m_root + "/own/kestrove.db").c_str(), 0400);
    const bool root = ::geteuid() == 0;
    if (root && !othersMayPassThrough(std::filesystem::path(m_root).parent_path())) {
        GTEST_SKIP() << "an ordinary user cannot reach " << m_root << " on this machine";
    }
    if (root) {
        // Root may write anywhere: the opens run as an ordinary user.
        ::chmod(m_root.c_str(), 0755);
        for (const char* owned : {"/own", "/own/kestrove.db"}) {
            ASSERT_EQ(::chown((m_root + owned).c_str(), kNobody, kNobody), 0);
        }
    } else {
        ::chmod((m_root + "/theirs").c_str(), 0500);
    }
    const std::string theirs = m_root + "/theirs/kestrove.db";
    const std::string own = m_root + "/own/kestrove.db";
    for (const std::string& path : {theirs, own}) {
        const std::string error = openAsUser(root ? kNobody : ::geteuid(), path);
        EXPECT_EQ(error.rfind("DB open failed: " + path +
                                  ": permission denied; give your user "
                                  "read and write access",
                              0),
                  0u)
            << error;
    }
    EXPECT_FALSE(std::filesystem::exists(theirs));
    EXPECT_EQ(std::filesystem::file_size(own), 0u);
    EXPECT_FALSE(std::filesystem::exists(own + "-wal"));
}

TEST_F(DatabaseTest, ADatabaseLockedByAnotherProgramSaysItIsInUse)
{
    Database db(m_path, m_clock);
    db.open();
    db.close();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(m_path.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other,
                           "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;"
                           " INSERT INTO meta VALUES ('held', '1');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    db.setBusyTimeout(std::chrono::milliseconds(20));
    EXPECT_EQ(errorOf([&] {
                  db.open();
              }).rfind("DB open failed: " + m_path + ": it is in use by another Kestrove", 0),
              0u);
    sqlite3_exec(other, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_NO_THROW(db.open());
}

TEST_F(DatabaseTest, AWriteWaitsForAnotherConnectionsLockInsteadOfFailing)
{
    Database db(m_path, m_clock);
    db.open();
    // What another process does while Kestrove writes: a long query, a short write.
    for (const char* held : {"BEGIN; SELECT COUNT(*) FROM segments;",
                             "BEGIN IMMEDIATE; INSERT INTO meta VALUES ('other', '1');"}) {
        std::promise<void> holding;
        std::thread other([&] {
            sqlite3* connection = nullptr;
            sqlite3_open(m_path.c_str(), &connection);
            sqlite3_exec(connection, held, nullptr, nullptr, nullptr);
            holding.set_value();
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            sqlite3_exec(connection, "COMMIT;", nullptr, nullptr, nullptr);
            sqlite3_close(connection);
        });
        holding.get_future().wait();
        Segment segment;
        segment.start = m_clock.now();
        segment.end = segment.start + 10;
        segment.appName = "Editor";
        const std::string error = errorOf([&] {
            const auto id = db.insertSegment(segment);
            db.updateSegment(id, segment.end + 5);
        });
        other.join();
        EXPECT_EQ(error, "") << held;
    }
    EXPECT_EQ(raw("SELECT COUNT(*) FROM segments WHERE end_ts - start_ts = 15;"), "2");
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

// A reader outside the running program: it finds the history or says there is none, and never
// makes, migrates or writes a file.
TEST_F(DatabaseTest, AReadOnlyOpenNeverMakesOrChangesAFile)
{
    std::filesystem::remove_all(m_root + "/Kestrove");
    Database missing(m_path, Database::ReadOnly{}, m_clock);
    EXPECT_NE(errorOf([&] { missing.openReadOnly(); }).find("no history file"), std::string::npos);
    EXPECT_FALSE(missing.isOpen());
    EXPECT_FALSE(std::filesystem::exists(m_root + "/Kestrove"));

    // A file that holds no history is not taken for one.
    std::filesystem::create_directories(m_root + "/Kestrove");
    raw("CREATE TABLE other (x);");
    Database empty(m_path, Database::ReadOnly{}, m_clock);
    EXPECT_NE(errorOf([&] { empty.openReadOnly(); }).find("no history in it"), std::string::npos);
    std::filesystem::remove(m_path);

    {
        Database writer(m_path, m_clock);
        writer.open();
        Segment segment;
        segment.start = 100;
        segment.end = 200;
        segment.kind = ContextKind::deep;
        writer.insertSegment(segment);
    }
    const std::string version = raw("PRAGMA user_version;");
    Database reader(m_path, Database::ReadOnly{}, m_clock);
    reader.openReadOnly();
    EXPECT_EQ(reader.segments(0, 1000).size(), 1u);
    EXPECT_NE(errorOf([&] { reader.deleteSegments(0, 1000); }), "");
    EXPECT_EQ(raw("SELECT COUNT(*) FROM segments;"), "1");
    EXPECT_EQ(raw("PRAGMA user_version;"), version);
}
