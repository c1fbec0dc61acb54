// The automation commands, run as a script would run them: with and without a running Kestrove,
// with no history at all, and without a display.
#include "ProgramTestSupport.h"
#include "Storage/Database.h"
#include "core/Calendar.h"
#include "core/Duration.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>

#include <chrono>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <sys/stat.h>

using namespace kestrove;

namespace {

struct Result
{
    int exitCode = -1;
    std::string out;
    std::string err;
};

class SubcommandsTest : public ::testing::Test
{
protected:
    SubcommandsTest()
    {
        std::filesystem::create_directories(folder.path + "/home");
        std::filesystem::create_directories(folder.path + "/work");
        environment.insert("HOME", QString::fromStdString(folder.path + "/home"));
        environment.insert("XDG_DATA_HOME", QString::fromStdString(folder.path + "/data"));
        environment.insert("XDG_CONFIG_HOME", QString::fromStdString(folder.path + "/config"));
        const std::string runtime = folder.path + "/runtime";
        std::filesystem::create_directories(runtime);
        ::chmod(runtime.c_str(), 0700);
        environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime));
        testing_support::writeReturningUser(folder.path + "/config");
    }

    // Runs `kestrove <arguments>` in the work folder, without a display.
    Result run(const QStringList& arguments)
    {
        QProcessEnvironment headless = environment;
        headless.remove("DISPLAY");
        headless.remove("QT_QPA_PLATFORM");
        QProcess process;
        process.setProcessEnvironment(headless);
        process.setWorkingDirectory(QString::fromStdString(folder.path + "/work"));
        process.start(QStringLiteral(KESTROVE_PROGRAM), arguments);
        EXPECT_TRUE(process.waitForFinished(30000)) << arguments.join(' ').toStdString();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput().toStdString(),
                process.readAllStandardError().toStdString()};
    }

    std::string databasePath() const { return folder.path + "/data/Kestrove/kestrove.db"; }

    // The history's files (the database and anything beside it but SQLite's shared-memory
    // companions, which a reader may make) with their sizes and modification times.
    std::set<std::string> dataFiles() const
    {
        std::set<std::string> files;
        std::error_code ignored;
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(folder.path + "/data", ignored)) {
            const std::string path = entry.path().string();
            if (!entry.is_regular_file() || path.ends_with("-shm") || path.ends_with("-wal")) {
                continue;
            }
            const auto time = std::filesystem::last_write_time(entry.path(), ignored);
            files.insert(path + " " + std::to_string(entry.file_size()) + " " +
                         std::to_string(time.time_since_epoch().count()));
        }
        return files;
    }

    static QSize pngSize(const std::string& path)
    {
        return QImage(QString::fromStdString(path), "PNG").size();
    }

    TemporaryFolder folder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
};

} // namespace

TEST_F(SubcommandsTest, CommandLinesAreCheckedBeforeAnythingElse)
{
    struct Case
    {
        QStringList arguments;
        int exitCode;
        std::string out;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"--help"}, 0, "Usage: kestrove [LINK]", ""},
        {{"-h"}, 0, "kestrove export-card --period today|week [--output FILE]", ""},
        {{"export-card"}, 2, "", "kestrove: export-card needs --period today or --period week"},
        {{"export-card", "--period", "month"}, 2, "", "the period is 'today' or 'week'"},
        {{"export-card", "--period"}, 2, "", "--period needs a value"},
        {{"export-card", "--period", "today", "--period", "week"}, 2, "", "is given twice"},
        {{"export-card", "--period=today", "--size", "2"}, 2, "", "unknown option '--size'"},
        {{"status", "now"}, 2, "", "status takes no arguments"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const Result result = run(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_NE(result.out.find(c.out), std::string::npos) << result.out;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
        if (c.exitCode == 2) {
            EXPECT_NE(result.err.find("Try 'kestrove --help'"), std::string::npos);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path + "/data"));
}

TEST_F(SubcommandsTest, WithNoHistoryAtAllTheAnswersAreEmptyAndNothingIsCreated)
{
    const Result status = run({"status"});
    EXPECT_EQ(status.exitCode, 0) << status.err;
    EXPECT_EQ(status.out, "0m of deep work today, 0% of your goal. Kestrove is not running.\n");

    const Result deep = run({"deep-work"});
    EXPECT_EQ(deep.exitCode, 1);
    EXPECT_EQ(deep.out, "no\n");

    const Result card = run({"export-card", "--period", "today"});
    EXPECT_EQ(card.exitCode, 0) << card.err;
    EXPECT_EQ(card.out, "kestrove-today.png\n");
    EXPECT_EQ(pngSize(folder.path + "/work/kestrove-today.png"), QSize(2400, 1350));

    const Result failed =
        run({"export-card", "--period", "week", "--output", "/nonexistent/x.png"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.err.find("could not write /nonexistent/x.png"), std::string::npos);

    // No database, no folder for one.
    EXPECT_FALSE(std::filesystem::exists(folder.path + "/data"));
}

TEST_F(SubcommandsTest, WithoutARunningKestroveTheHistoryIsReadAndLeftAsItWas)
{
    const Date now = static_cast<Date>(std::time(nullptr));
    const Date start = std::max(Calendar::startOfDay(now), now - 7200);
    {
        Database db(databasePath());
        db.open();
        Segment segment;
        segment.start = start;
        segment.end = now - 1;
        segment.kind = ContextKind::deep;
        segment.appName = "Code";
        segment.bundleID = "com.microsoft.vscode";
        db.insertSegment(segment);
        db.execute("PRAGMA wal_checkpoint(TRUNCATE);");
    }
    const auto before = dataFiles();

    const Result status = run({"status"});
    EXPECT_EQ(status.exitCode, 0) << status.err;
    EXPECT_TRUE(
        status.out.starts_with(DurationFormat::hm(now - 1 - start) + " of deep work today, "))
        << status.out;
    EXPECT_NE(status.out.find("Kestrove is not running."), std::string::npos);

    const std::string output = folder.path + "/week card.png";
    const Result card =
        run({"export-card", "--period=week", "--output", QString::fromStdString(output)});
    EXPECT_EQ(card.exitCode, 0) << card.err;
    EXPECT_EQ(card.out, output + "\n");
    EXPECT_EQ(pngSize(output), QSize(2400, 1350));

    // Read, never written: the same files, the same sizes and times.
    EXPECT_EQ(dataFiles(), before);
}

TEST_F(SubcommandsTest, ARunningKestroveAnswersAndNeedsNoDisplayToBeAsked)
{
    QProcess kestrove;
    kestrove.setProcessEnvironment(environment);
    kestrove.start(QStringLiteral(KESTROVE_PROGRAM), {});
    ASSERT_TRUE(kestrove.waitForStarted(5000));
    std::string log;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (log.find("engine started") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline && kestrove.state() == QProcess::Running) {
        kestrove.waitForReadyRead(100);
        log += kestrove.readAllStandardError().toStdString();
    }
    ASSERT_NE(log.find("engine started"), std::string::npos) << log;

    const Result status = run({"status"});
    EXPECT_EQ(status.exitCode, 0) << status.err;
    EXPECT_TRUE(status.out.starts_with("0m of deep work today, 0% of your goal. ")) << status.out;
    // The live answer says what is tracked now, not that nothing runs.
    EXPECT_EQ(status.out.find("not running"), std::string::npos) << status.out;

    const Result deep = run({"deep-work"});
    EXPECT_EQ(deep.exitCode, 1);
    EXPECT_EQ(deep.out, "no\n");

    const Result card = run({"export-card", "--period", "week", "--output", "card.png"});
    EXPECT_EQ(card.exitCode, 0) << card.err;
    EXPECT_EQ(card.out, "card.png\n");
    EXPECT_EQ(pngSize(folder.path + "/work/card.png"), QSize(2400, 1350));

    ::kill(static_cast<pid_t>(kestrove.processId()), SIGTERM);
    EXPECT_TRUE(kestrove.waitForFinished(15000));
    EXPECT_EQ(kestrove.exitCode(), 0);
}
