#include "Platform/Linux/SingleInstanceGuard.h"

#include "DesktopTestSupport.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/time.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace kestrove {
namespace {

using testing_support::ensureApplication;
using testing_support::TemporaryFolder;
using Outcome = SingleInstanceGuard::Outcome;

// An environment variable set for one test and put back afterwards.
class ScopedVariable
{
public:
    ScopedVariable(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedVariable() { m_old ? setenv(m_name, m_old->c_str(), 1) : unsetenv(m_name); }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(SingleInstanceGuardTest, TheLockLivesInTheRuntimeFolderOrElseInTheDataFolder)
{
    TemporaryFolder runtime;
    const QString beside = "/data/Kestrove/kestrove.lock";
    const std::pair<const char*, QString> cases[] = {
        {runtime.path.c_str(), QString::fromStdString(runtime.path) + "/kestrove.lock"},
        {nullptr, beside},
        {"", beside},
        {"relative/run", beside},
        {"/no/such/folder", beside},
    };
    for (const auto& [value, expected] : cases) {
        ScopedVariable variable("XDG_RUNTIME_DIR", value);
        EXPECT_EQ(SingleInstanceGuard::defaultLockPath("/data/Kestrove/kestrove.db"), expected)
            << (value ? value : "unset");
    }
}

TEST(SingleInstanceGuardTest, ALiveHolderKeepsTheLockHoweverOldItIsAndALeftOneIsTaken)
{
    ensureApplication();
    TemporaryFolder folder;
    const QString path = QString::fromStdString(folder.path + "/run/kestrove.lock");
    auto first = std::make_unique<SingleInstanceGuard>(path);
    ASSERT_EQ(first->acquire(), Outcome::acquired);
    EXPECT_EQ(first->refusal(), "");

    SingleInstanceGuard second(path);
    EXPECT_EQ(second.acquire(), Outcome::heldElsewhere);
    EXPECT_EQ(second.holderProcessID(), ::getpid());
    EXPECT_EQ(second.refusal(), "Kestrove is already running for this user (process " +
                                    std::to_string(::getpid()) +
                                    "); it keeps recording, and this start exits.");

    // A run of a whole day: the lock's age says nothing about whether its holder lives.
    const std::string file = path.toStdString();
    const timeval dayOld[2] = {{::time(nullptr) - 86400, 0}, {::time(nullptr) - 86400, 0}};
    ASSERT_EQ(::utimes(file.c_str(), dayOld), 0);
    EXPECT_EQ(SingleInstanceGuard(path).acquire(), Outcome::heldElsewhere);

    first.reset();
    EXPECT_EQ(SingleInstanceGuard(path).acquire(), Outcome::acquired);

    // A lock that cannot be made says so, and nobody starts.
    std::ofstream(folder.path + "/file") << "x";
    SingleInstanceGuard blocked(QString::fromStdString(folder.path + "/file/kestrove.lock"));
    EXPECT_EQ(blocked.acquire(), Outcome::failed);
    EXPECT_EQ(blocked.refusal().rfind("cannot take the lock that keeps a second Kestrove", 0), 0u);
}

TEST(SingleInstanceGuardTest, AHolderThatHasNotWrittenItsFileYetIsWaitedFor)
{
    ensureApplication();
    TemporaryFolder folder;
    // What a holder writes into its file, taken from a lock of this process.
    const QString model = QString::fromStdString(folder.path + "/model.lock");
    QByteArray written;
    {
        QLockFile lock(model);
        ASSERT_TRUE(lock.tryLock(0));
        QFile file(model);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        written = file.readAll();
    }
    // The holder has made its file and writes into it a moment later.
    const std::string path = folder.path + "/kestrove.lock";
    std::ofstream(path).flush();
    SingleInstanceGuard second(QString::fromStdString(path));
    ASSERT_EQ(second.acquire(), Outcome::heldElsewhere);
    std::thread holder([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        std::ofstream(path, std::ios::binary) << written.toStdString();
    });
    EXPECT_EQ(second.holderProcessID(), ::getpid());
    holder.join();
}

// The program itself, started under the test desktop with folders of its own.
class KestroveProgramTest : public testing::Test
{
protected:
    KestroveProgramTest()
    {
        ensureApplication();
        ::chmod(folder.path.c_str(), 0700);
        std::filesystem::create_directories(folder.path + "/run");
        ::chmod((folder.path + "/run").c_str(), 0700);
        environment = QProcessEnvironment::systemEnvironment();
        const QString root = QString::fromStdString(folder.path);
        environment.insert("HOME", root);
        environment.insert("XDG_DATA_HOME", root + "/data");
        environment.insert("XDG_CONFIG_HOME", root + "/config");
        environment.insert("XDG_RUNTIME_DIR", root + "/run");
    }

    std::unique_ptr<QProcess> start()
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->start(KESTROVE_PROGRAM, {});
        EXPECT_TRUE(process->waitForStarted(5000));
        return process;
    }

    // Reads the program's output until `text` appears; false when it does not within 15 s.
    static bool waitForOutput(QProcess& process, QByteArray& output, const QByteArray& text)
    {
        const QDeadlineTimer deadline(15000);
        while (!output.contains(text) && !deadline.hasExpired()) {
            process.waitForReadyRead(100);
            output += process.readAll();
            if (process.state() == QProcess::NotRunning) {
                output += process.readAll();
                break;
            }
        }
        return output.contains(text);
    }

    // Every stored segment's start and end, by start.
    std::vector<std::pair<double, double>> segments() const
    {
        std::vector<std::pair<double, double>> rows;
        sqlite3* db = nullptr;
        sqlite3_open((folder.path + "/data/Kestrove/kestrove.db").c_str(), &db);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "SELECT start_ts, end_ts FROM segments ORDER BY start_ts, id", -1,
                           &statement, nullptr);
        while (statement && sqlite3_step(statement) == SQLITE_ROW) {
            rows.emplace_back(sqlite3_column_double(statement, 0),
                              sqlite3_column_double(statement, 1));
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return rows;
    }

    TemporaryFolder folder;
    QProcessEnvironment environment;
};

TEST_F(KestroveProgramTest, OfTwoStartsAtOnceOneRecordsAndTheOtherSaysSoAndExitsCleanly)
{
    std::unique_ptr<QProcess> starts[] = {start(), start()};
    // The start that lost the race ends by itself, soon.
    const QDeadlineTimer deadline(15000);
    int exited = -1;
    while (exited < 0 && !deadline.hasExpired()) {
        for (int i = 0; i < 2 && exited < 0; ++i) {
            if (starts[i]->waitForFinished(50)) {
                exited = i;
            }
        }
    }
    ASSERT_GE(exited, 0) << "both starts kept running";
    QProcess& second = *starts[exited];
    QProcess& first = *starts[1 - exited];
    const QByteArray said = second.readAll();
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(said.contains("kestrove: Kestrove is already running for this user (process " +
                              QByteArray::number(first.processId()) + ")"))
        << said.toStdString();
    EXPECT_FALSE(said.contains("engine started")) << said.toStdString();

    QByteArray output;
    ASSERT_TRUE(waitForOutput(first, output, "engine started")) << output.toStdString();
    EXPECT_FALSE(output.contains("error")) << output.toStdString();
    // It records on, long enough for a segment to be kept.
    EXPECT_FALSE(first.waitForFinished(1500));
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(15000));
    EXPECT_EQ(first.exitCode(), 0);

    // One process recorded: its segments follow one another and none is stored twice.
    const auto rows = segments();
    ASSERT_FALSE(rows.empty());
    for (std::size_t i = 1; i < rows.size(); ++i) {
        EXPECT_GE(rows[i].first, rows[i - 1].second) << "segments " << i - 1 << " and " << i;
    }
}

TEST_F(KestroveProgramTest, TheLockOfAKilledRunIsTakenOverByTheNextStart)
{
    auto killed = start();
    QByteArray output;
    ASSERT_TRUE(waitForOutput(*killed, output, "engine started")) << output.toStdString();
    ::kill(static_cast<pid_t>(killed->processId()), SIGKILL);
    ASSERT_TRUE(killed->waitForFinished(5000));
    ASSERT_TRUE(std::filesystem::exists(folder.path + "/run/kestrove.lock"));

    auto next = start();
    QByteArray nextOutput;
    EXPECT_TRUE(waitForOutput(*next, nextOutput, "engine started")) << nextOutput.toStdString();
    EXPECT_EQ(next->state(), QProcess::Running);
    next->terminate();
    ASSERT_TRUE(next->waitForFinished(15000));
    EXPECT_EQ(next->exitCode(), 0);
}

} // namespace
} // namespace kestrove
