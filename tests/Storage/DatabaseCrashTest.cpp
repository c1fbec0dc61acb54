#include "Storage/Database.h"
#include "StorageFixture.h"

#include <csignal>
#include <cstdio>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

using namespace kestrove;

class DatabaseCrashTest : public StorageTest
{
};

namespace {

// Writes segments until killed, reporting each row id once its write has committed.
[[noreturn]] void writeUntilKilled(const std::string& path, int reportFd)
{
    Database db(path);
    db.open();
    for (std::int64_t i = 0;; ++i) {
        Segment s;
        s.start = double(i);
        s.end = double(i) + 0.5;
        s.appName = "Editor";
        s.windowTitle = std::string(200, 'x');
        const std::int64_t id = db.insertSegment(s);
        db.updateSegment(id, double(i) + 1);
        if (write(reportFd, &id, sizeof id) != sizeof id) {
            _exit(1);
        }
    }
}

} // namespace

TEST_F(DatabaseCrashTest, KilledWriterLosesNoCommittedRow)
{
    Database(m_path).open(); // schema first, so the child only writes rows
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(fds[0]);
        writeUntilKilled(m_path, fds[1]);
    }
    close(fds[1]);
    std::set<std::int64_t> committed;
    std::int64_t id = 0;
    while (committed.size() < 2000 && read(fds[0], &id, sizeof id) == sizeof id) {
        committed.insert(id);
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    while (read(fds[0], &id, sizeof id) == sizeof id) {
        committed.insert(id);
    }
    close(fds[0]);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_GE(committed.size(), 2000u);

    EXPECT_EQ(raw("PRAGMA integrity_check;"), "ok");
    Database db(m_path);
    db.open();
    std::map<std::int64_t, Segment> stored;
    for (auto& s : db.segments(-1, 1e9)) {
        stored[s.id] = s;
    }
    for (const std::int64_t committedID : committed) {
        ASSERT_TRUE(stored.contains(committedID)) << committedID;
        EXPECT_EQ(stored[committedID].end - stored[committedID].start, 1.0);
    }
}
