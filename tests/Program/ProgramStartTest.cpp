// The real program, started inside the test desktop as a user would start it.
#include "ProgramTestSupport.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

using namespace kestrove;

namespace {

// The message of a log line ("2025-03-01 12:00:00 info [app] message"), or the line itself.
std::string messageOf(const std::string& line)
{
    const auto end = line.find("] ");
    return end == std::string::npos ? line : line.substr(end + 2);
}

// The processes of this user whose environment holds `entry`: what a program started, however
// far they were detached from it.
std::vector<pid_t> processesWith(const std::string& entry)
{
    std::vector<pid_t> found;
    std::error_code error;
    for (const auto& process : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = process.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::ifstream in(process.path() / "environ", std::ios::binary);
        std::string variable;
        while (std::getline(in, variable, '\0')) {
            if (variable == entry) {
                found.push_back(static_cast<pid_t>(std::stol(name)));
                break;
            }
        }
    }
    return found;
}

class ProgramStartTest : public ::testing::Test
{
protected:
    ProgramStartTest() { testing_support::useOwnFolders(environment, folder.path); }

    // Starts the program, waits until its engine runs, stops it as Ctrl+C would and returns
    // the messages it logged.
    std::vector<std::string> runUntilStarted()
    {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(KESTROVE_PROGRAM), {});
        EXPECT_TRUE(program.waitForStarted(5000));
        std::string output;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (output.find("engine started") == std::string::npos &&
               std::chrono::steady_clock::now() < deadline &&
               program.state() == QProcess::Running) {
            program.waitForReadyRead(100);
            output += program.readAllStandardError().toStdString();
        }
        EXPECT_NE(output.find("engine started"), std::string::npos) << output;
        ::kill(static_cast<pid_t>(program.processId()), SIGINT);
        EXPECT_TRUE(program.waitForFinished(15000)) << output;
        output += program.readAllStandardError().toStdString();
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << output;

        std::vector<std::string> messages;
        std::istringstream lines(output);
        for (std::string line; std::getline(lines, line);) {
            messages.push_back(messageOf(line));
        }
        return messages;
    }

    TemporaryFolder folder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
};

} // namespace

TEST_F(ProgramStartTest, FirstLinesSayWhereThingsAreKeptWhatIsReadAndHowToStop)
{
    const auto messages = runUntilStarted();
    ASSERT_GE(messages.size(), 5u);
    EXPECT_EQ(messages[0], "database: " + folder.path + "/data/Kestrove/kestrove.db");
    EXPECT_EQ(messages[1], "settings: " + folder.path + "/config/Kestrove/preferences.json");
    // The test desktop runs an EWMH window manager and no accessibility bus.
    EXPECT_EQ(messages[2], "window titles: read from the X display " +
                               environment.value("DISPLAY").toStdString());
    EXPECT_TRUE(messages[3].starts_with("browser sites: not read: the accessibility bus is not "
                                        "running"))
        << messages[3];
    EXPECT_EQ(messages[4], "stop with Ctrl+C (or SIGTERM)");
    EXPECT_NE(std::find(messages.begin(), messages.end(), "stopping"), messages.end());
}

TEST_F(ProgramStartTest, WithoutSessionBusNoneIsStartedAndOneLineSaysSo)
{
    const std::string mark = "KESTROVE_TEST_RUN=" + folder.path;
    environment.remove("DBUS_SESSION_BUS_ADDRESS");
    environment.insert("KESTROVE_TEST_RUN", QString::fromStdString(folder.path));
    const auto messages = runUntilStarted();

    // Whatever it started, the program is gone: nothing with its environment may remain.
    const std::vector<pid_t> left = processesWith(mark);
    for (const pid_t pid : left) {
        ::kill(pid, SIGTERM);
    }
    EXPECT_TRUE(left.empty()) << left.size() << " processes outlived the program";

    std::vector<std::string> aboutTheBus;
    for (const std::string& message : messages) {
        if (message.starts_with("session bus: ")) {
            aboutTheBus.push_back(message);
        }
    }
    ASSERT_EQ(aboutTheBus.size(), 1u);
    EXPECT_TRUE(aboutTheBus[0].starts_with("session bus: none (DBUS_SESSION_BUS_ADDRESS is not "
                                           "set), and none is started"))
        << aboutTheBus[0];
    ASSERT_GE(messages.size(), 4u);
    EXPECT_TRUE(messages[3].starts_with("browser sites: not read: without a session bus"))
        << messages[3];
    // Notifications and the focus-state signal say nothing more about it.
    for (const std::string& message : messages) {
        EXPECT_EQ(message.find("notification server"), std::string::npos) << message;
        EXPECT_EQ(message.find("focus state not sent"), std::string::npos) << message;
    }
}

TEST_F(ProgramStartTest, ASecondStartHandsItsLinkToTheRunningOneAndExits)
{
    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(QStringLiteral(KESTROVE_PROGRAM), {});
    ASSERT_TRUE(first.waitForStarted(5000));
    std::string output;
    const auto waitFor = [&](const std::string& text) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (output.find(text) == std::string::npos &&
               std::chrono::steady_clock::now() < deadline && first.state() == QProcess::Running) {
            first.waitForReadyRead(100);
            output += first.readAllStandardError().toStdString();
        }
        return output.find(text) != std::string::npos;
    };
    ASSERT_TRUE(waitFor("engine started")) << output;

    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(QStringLiteral(KESTROVE_PROGRAM), {"kestrove://week?date=2026-01-01"});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_NE(second.readAllStandardError().toStdString().find("already running"),
              std::string::npos);
    // The running one logs the link without its query, and acts on it.
    EXPECT_TRUE(waitFor("open url: kestrove://week\n")) << output;
    EXPECT_EQ(output.find("2026-01-01"), std::string::npos);

    ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
    EXPECT_TRUE(first.waitForFinished(15000));
    EXPECT_EQ(first.exitCode(), 0);
}
