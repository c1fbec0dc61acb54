// The installed program in the test desktop with a tray: its icon opens the popover, and a
// "kestrove:" link opened the desktop's way reaches it.
#include "ProgramTestSupport.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <thread>

using namespace kestrove;

namespace {

using Clock = std::chrono::steady_clock;

std::string run(const QString& program, const QStringList& arguments,
                const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.waitForFinished(20000);
    return process.readAllStandardOutput().toStdString() +
           process.readAllStandardError().toStdString();
}

// The id and geometry of a window of ours, as the window tree lists it ("0x60000e ... 22x22").
std::optional<std::string> windowOfKestrove(const std::string& size)
{
    const QString tree = QString::fromStdString(run("xwininfo", {"-root", "-tree"}));
    const QRegularExpression line(
        "(0x[0-9a-f]+) \"Kestrove\": \\(\"kestrove\" \"Kestrove\"\\)\\s+" +
        QRegularExpression::escape(QString::fromStdString(size)));
    const auto match = line.match(tree);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    return match.captured(1).toStdString();
}

template <typename Done> bool waitUntil(Done done, int seconds = 15)
{
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    while (!done() && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

} // namespace

TEST(TrayAndLinksTest, TheTrayIconOpensThePopoverAndAnInstalledLinkOpensTheWeek)
{
    TemporaryFolder folder;
    const std::string prefix = folder.path + "/prefix";
    run("cmake", {"--install", KESTROVE_BUILD_DIR, "--prefix", QString::fromStdString(prefix)});
    ASSERT_TRUE(std::filesystem::exists(prefix + "/share/applications/kestrove.desktop"));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", QString::fromStdString(folder.path));
    environment.insert("XDG_DATA_HOME", QString::fromStdString(prefix + "/share"));
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(folder.path + "/config"));
    environment.insert("XDG_DATA_DIRS", "/usr/share");
    environment.remove("XDG_CURRENT_DESKTOP");
    const std::string runtime = folder.path + "/runtime";
    std::filesystem::create_directories(runtime);
    ::chmod(runtime.c_str(), 0700);
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime));
    run("xdg-mime", {"default", "kestrove.desktop", "x-scheme-handler/kestrove"}, environment);
    testing_support::writeReturningUser(folder.path + "/config");

    QProcess tray;
    tray.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "pixel", "--width",
                          "120", "--height", "24"});
    ASSERT_TRUE(tray.waitForStarted(5000));
    ASSERT_TRUE(waitUntil([] {
        return run("xwininfo", {"-root", "-tree"}).find("\"panel\"") != std::string::npos;
    }));

    QProcess kestrove;
    kestrove.setProcessEnvironment(environment);
    kestrove.setProcessChannelMode(QProcess::MergedChannels);
    kestrove.start(QString::fromStdString(prefix + "/bin/kestrove"), {});
    ASSERT_TRUE(kestrove.waitForStarted(5000));
    std::string log;
    const auto logged = [&](const std::string& text) {
        return waitUntil([&] {
            kestrove.waitForReadyRead(50);
            log += kestrove.readAll().toStdString();
            return log.find(text) != std::string::npos;
        });
    };

    // The icon is embedded in the tray; clicking it opens the 344-pixel popover below it.
    std::optional<std::string> icon;
    ASSERT_TRUE(waitUntil([&] { return (icon = windowOfKestrove("22x22")).has_value(); })) << log;
    EXPECT_EQ(log.find("no system tray"), std::string::npos) << log;
    run("xdotool",
        {"mousemove", "--window", QString::fromStdString(*icon), "11", "11", "click", "1"});
    EXPECT_TRUE(waitUntil([] { return windowOfKestrove("344x").has_value(); })) << log;

    // The desktop's way to open a link: xdg-open finds the installed handler, which starts a
    // second Kestrove that hands the link over.
    ASSERT_TRUE(logged("engine started")) << log;
    run("xdg-open", {"kestrove://week"}, environment);
    EXPECT_TRUE(logged("open url: kestrove://week")) << log;
    EXPECT_TRUE(waitUntil([] { return windowOfKestrove("1120x720").has_value(); })) << log;

    ::kill(static_cast<pid_t>(kestrove.processId()), SIGTERM);
    EXPECT_TRUE(kestrove.waitForFinished(15000));
    EXPECT_EQ(kestrove.exitCode(), 0) << log;
    tray.terminate();
    tray.waitForFinished(5000);
}
