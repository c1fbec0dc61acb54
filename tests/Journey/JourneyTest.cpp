// A day with Kestrove as a user lives it, on the test desktop (two monitors, openbox, a tray,
// the accessibility bus, a notification server that records, chromium): the program installed
// by scripts/install into a home of its own, then onboarding, work, a lockdown broken out of,
// the morning wall, a planned block, the shutdown ritual, a share card from the command line,
// a link opened the desktop's way, and quitting from the popover. The program is driven only
// from outside: the pointer and the keyboard through XTest, windows through the window manager,
// and its widgets found by name over the accessibility bus, as a screen reader finds them.
// Every step leaves a picture in the journey folder.
#include "AccessibleTree.h"
#include "JourneyDesktop.h"
#include "support/TableRows.h"

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <csignal>
#include <filesystem>
#include <memory>
#include <set>

#include "support/TestWindows.h"

namespace kestrove::journey {
namespace {

constexpr int kWaitMilliseconds = 30000;

const QString kFolder = KESTROVE_JOURNEY_FOLDER;
const QString kHome = kFolder + "/home";
const QString kProgram = kHome + "/.local/bin/kestrove";
const QString kDatabase = kHome + "/.local/share/Kestrove/kestrove.db";
const QString kPreferences = kHome + "/.config/Kestrove/preferences.json";
const std::string kBreakOutSentence =
    "I am knowingly deciding to abandon my focused work block and spend my later self's time.";

QProcessEnvironment userEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", kHome);
    environment.remove("XDG_CONFIG_HOME");
    environment.remove("XDG_DATA_HOME");
    environment.remove("XDG_CURRENT_DESKTOP");
    environment.insert("XDG_DATA_DIRS", "/usr/share");
    return environment;
}

std::string run(const QString& program, const QStringList& arguments, int* exitCode = nullptr)
{
    QProcess process;
    process.setProcessEnvironment(userEnvironment());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(60000);
    if (exitCode) {
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    return process.readAll().toStdString();
}

// A program of the desktop (tray, bus, browser) that lives as long as the journey.
struct Companion
{
    Companion(const QString& program, const QStringList& arguments,
              const QStringList& extraEnvironment = {})
    {
        QProcessEnvironment environment = userEnvironment();
        for (const QString& entry : extraEnvironment) {
            environment.insert(entry.section('=', 0, 0), entry.section('=', 1));
        }
        process.setProcessEnvironment(environment);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(program, arguments);
        process.waitForStarted(10000);
    }
    ~Companion()
    {
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    QProcess process;
};

class JourneyTest : public testing::Test
{
protected:
    void SetUp() override
    {
        QDir(kFolder + "/screens").removeRecursively();
        QDir().mkpath(kFolder + "/screens");
        ASSERT_TRUE(QFile::exists(kProgram)) << "scripts/install did not install the program";
        // A new user each time: the install stays, the record, settings and browser go.
        for (const char* folder : {"/.config/Kestrove", "/.local/share/Kestrove", "/chromium"}) {
            QDir(kHome + folder).removeRecursively();
        }
    }

    void TearDown() override
    {
        if (kestrove && kestrove->state() != QProcess::NotRunning) {
            ::kill(static_cast<pid_t>(kestrove->processId()), SIGTERM);
            kestrove->waitForFinished(15000);
        }
        readLog();
        std::cout << "---- program output ----\n" << log << std::endl;
    }

    // ---- the program ----

    void startKestrove()
    {
        kestrove = std::make_unique<QProcess>();
        kestrove->setProcessEnvironment(userEnvironment());
        kestrove->setProcessChannelMode(QProcess::MergedChannels);
        kestrove->start(kProgram, {});
        ASSERT_TRUE(kestrove->waitForStarted(10000));
    }
    qint64 pid() const { return kestrove->processId(); }

    void readLog()
    {
        if (kestrove) {
            log += kestrove->readAll().toStdString();
        }
    }
    bool logged(const std::string& text)
    {
        return QTest::qWaitFor(
            [&] {
                readLog();
                return log.find(text) != std::string::npos;
            },
            kWaitMilliseconds);
    }

    // The popover and its menu are pop-ups, which the accessibility bus does not list: the
    // menu button is clicked where the popover draws it (its top right corner) and the entry
    // `fromBottom` places above the menu's end chosen with the keyboard.
    void chooseFromPopoverMenu(int fromBottom)
    {
        const std::string popover = windowOfKestrove("344x");
        ASSERT_FALSE(popover.empty()) << "the popover did not open";
        run("xdotool",
            {"mousemove", "--window", QString::fromStdString(popover), "317", "24", "click", "1"});
        QTest::qWait(700);
        shot("popover-menu");
        for (int i = 0; i < fromBottom; ++i) {
            desktop.key(XK_Up, true);
            desktop.key(XK_Up, false);
        }
        desktop.key(XK_Return, true);
        desktop.key(XK_Return, false);
    }

    // Quits the way a user does: the tray icon, the popover's "···" menu, "Quit Kestrove".
    void quitFromPopover()
    {
        openPopover();
        chooseFromPopoverMenu(1);
        ASSERT_TRUE(kestrove->waitForFinished(kWaitMilliseconds)) << "the program did not quit";
        readLog();
        EXPECT_EQ(kestrove->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(kestrove->exitCode(), 0) << log;
    }

    // The app picker is a pop-up too: its first row is clicked where the picker draws it, and
    // Return closes it.
    void pickFirstApp()
    {
        const std::string picker = windowOfKestrove("380x440");
        ASSERT_FALSE(picker.empty()) << "no app picker";
        run("xdotool",
            {"mousemove", "--window", QString::fromStdString(picker), "120", "56", "click", "1"});
        QTest::qWait(300);
        desktop.key(XK_Return, true);
        desktop.key(XK_Return, false);
    }

    // Settings written into the program's file while it is stopped, over what it holds.
    static void changeSettings(const QJsonObject& changes)
    {
        QFile file(kPreferences);
        QJsonObject settings;
        if (file.open(QIODevice::ReadOnly)) {
            settings = QJsonDocument::fromJson(file.readAll()).object();
            file.close();
        }
        for (auto change = changes.begin(); change != changes.end(); ++change) {
            settings[change.key()] = change.value();
        }
        ASSERT_TRUE(QDir().mkpath(QFileInfo(kPreferences).path()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QJsonDocument(settings).toJson());
    }

    // The user's own settings: the morning gate from midnight on every day, and the daily
    // summary from the first minute of the day.
    static void armMorningGate()
    {
        changeSettings({{"morningGate.enabled", QJsonObject{{"bool", true}}},
                        {"morningGate.startHour", QJsonObject{{"int", 0}}},
                        {"morningGate.startMinute", QJsonObject{{"int", 0}}},
                        {"summaryEnabled", QJsonObject{{"bool", true}}},
                        {"summaryMinuteOfDay", QJsonObject{{"int", 1}}}});
    }

    // ---- the pointer and the widgets ----

    std::optional<AccessibleTree::Node>
    waitForNode(const QString& role, const std::function<bool(const QString&)>& matches,
                int milliseconds = kWaitMilliseconds)
    {
        std::optional<AccessibleTree::Node> node;
        (void)QTest::qWaitFor(
            [&] { return (node = accessible.find(pid(), role, matches)).has_value(); },
            milliseconds);
        return node;
    }
    std::optional<AccessibleTree::Node> waitForNode(const QString& role, const QString& name,
                                                    int milliseconds = kWaitMilliseconds)
    {
        return waitForNode(
            role, [&](const QString& text) { return text == name; }, milliseconds);
    }

    // Finds the widget by its role and name and clicks its middle with the pointer.
    void click(const QString& role, const QString& label,
               const std::function<bool(const QString&)>& matches)
    {
        const auto node = waitForNode(role, matches);
        ASSERT_TRUE(node.has_value())
            << "no " << role.toStdString() << " \"" << label.toStdString() << "\" shown:\n"
            << accessible.dump(pid());
        desktop.click(node->extents.center().x(), node->extents.center().y());
    }
    void click(const QString& role, const QString& name)
    {
        click(role, name, [&](const QString& text) { return text == name; });
    }

    // The tray icon: Kestrove's 22-pixel window embedded in the tray.
    void openPopover()
    {
        // A click on the icon closes a popover that is open.
        if (!windowOfKestrove("344x").empty()) {
            return;
        }
        std::string icon;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const QString tree = QString::fromStdString(run("xwininfo", {"-root", "-tree"}));
                const auto match = QRegularExpression("(0x[0-9a-f]+) \"Kestrove\": \\(\"kestrove\" "
                                                      "\"Kestrove\"\\)\\s+22x22")
                                       .match(tree);
                icon = match.captured(1).toStdString();
                return match.hasMatch();
            },
            kWaitMilliseconds))
            << "no tray icon";
        run("xdotool",
            {"mousemove", "--window", QString::fromStdString(icon), "11", "11", "click", "1"});
        ASSERT_TRUE(
            QTest::qWaitFor([] { return !windowOfKestrove("344x").empty(); }, kWaitMilliseconds))
            << "the popover did not open";
        shot("popover");
    }

    // The id of a window of Kestrove of this size ("22x22", "1120x720"), as the window tree
    // lists it; empty when there is none.
    static std::string windowOfKestrove(const QString& size)
    {
        const QString tree = QString::fromStdString(run("xwininfo", {"-root", "-tree"}));
        const auto match =
            QRegularExpression("(0x[0-9a-f]+) \"Kestrove\": \\(\"kestrove\" \"Kestrove\"\\)\\s+" +
                               QRegularExpression::escape(size))
                .match(tree);
        return match.captured(1).toStdString();
    }

    // Activates the window until the window manager has it in front: a window that opens
    // meanwhile may take the front first.
    bool bringToFront(Window window)
    {
        return QTest::qWaitFor(
            [&] {
                if (desktop.active() == window) {
                    return true;
                }
                desktop.activate(window);
                QTest::qWait(300);
                return desktop.active() == window;
            },
            kWaitMilliseconds);
    }

    // Brings the dashboard to the front, as clicking it would.
    void raiseDashboard()
    {
        std::string window;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const QString tree = QString::fromStdString(run("xwininfo", {"-root", "-tree"}));
                const auto match = QRegularExpression("(0x[0-9a-f]+) \"Kestrove\": \\(\"kestrove\" "
                                                      "\"Kestrove\"\\)\\s+1120x720")
                                       .match(tree);
                window = match.captured(1).toStdString();
                return match.hasMatch();
            },
            kWaitMilliseconds))
            << "no dashboard";
        run("xdotool", {"windowactivate", "--sync", QString::fromStdString(window)});
        QTest::qWait(300);
    }

    // Keeps the user at the desk while time passes: a small pointer move now and then.
    void stayAtTheDesk(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            XTestFakeRelativeMotionEvent(desktop.display(), i % 2 == 0 ? 1 : -1, 0, 0);
            XSync(desktop.display(), False);
            QTest::qWait(1000);
        }
    }

    void shot(const QString& name)
    {
        QTest::qWait(400); // let the last frame reach the screen
        desktopPicture().save(
            QString("%1/screens/%2-%3.png").arg(kFolder).arg(++shots, 2, 10, QChar('0')).arg(name));
    }

    std::vector<std::vector<std::string>> rows(const std::string& sql)
    {
        return tableRows(kDatabase.toStdString(), sql);
    }

    testing_support::TestWindows desktop;
    AccessibleTree accessible;
    NotificationRecorder notifications;
    FocusSignalRecorder focusSignals;
    std::unique_ptr<QProcess> kestrove;
    std::string log;
    int shots = 0;
};

TEST_F(JourneyTest, ADayWithKestrove)
{
    // ---- the desktop: accessibility bus, tray, notification server, focus listener ----
    Companion accessibilityBus("/usr/libexec/at-spi-bus-launcher",
                               {"--launch-immediately", "--a11y=1"});
    ASSERT_TRUE(QTest::qWaitFor(
        [] {
            return QDBusConnection::sessionBus().interface()->isServiceRegistered("org.a11y.Bus");
        },
        kWaitMilliseconds));
    // Another program of the session may have started the bus with accessibility off.
    QDBusMessage enable = QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus",
                                                         "org.freedesktop.DBus.Properties", "Set");
    enable << QString("org.a11y.Status") << QString("IsEnabled")
           << QVariant::fromValue(QDBusVariant(true));
    QDBusConnection::sessionBus().call(enable);
    ASSERT_TRUE(accessible.connect());
    ASSERT_TRUE(notifications.start()) << "another notification server owns the name";
    ASSERT_TRUE(focusSignals.start());
    Companion tray("trayer", {"--edge", "top", "--align", "right", "--widthtype", "pixel",
                              "--width", "120", "--height", "24"});
    ASSERT_TRUE(QTest::qWaitFor(
        [] {
            return run("xwininfo", {"-root", "-tree"}).find("\"panel\"") != std::string::npos;
        },
        kWaitMilliseconds));

    // ---- first start: onboarding ----
    // The summary stays off until the work is done: past its evening minute, a first start
    // would find the day empty and count its summary as sent.
    changeSettings({{"summaryEnabled", QJsonObject{{"bool", false}}}});
    startKestrove();
    ASSERT_TRUE(waitForNode("push button", "Continue").has_value()) << accessible.dump(pid());
    shot("welcome");
    click("push button", "Continue");
    ASSERT_TRUE(waitForNode("push button", "4h").has_value()) << accessible.dump(pid());
    click("push button", "4h");
    shot("daily-goal");
    click("push button", "Continue");
    ASSERT_TRUE(waitForNode("label", "You're set.").has_value()) << accessible.dump(pid());
    shot("set");
    click("push button", "Start");
    ASSERT_TRUE(logged("engine started"));

    // ---- work: an editor, then a page in the browser ----
    testing_support::TestWindows::Spec editorSpec;
    editorSpec.instance = "editor";
    editorSpec.wmClass = "Editor";
    editorSpec.netTitle = "chapter-two.md - Editor";
    editorSpec.width = 900;
    editorSpec.height = 600;
    const Window editor = desktop.create(editorSpec);
    const Window chatter = desktop.create("Chatter");
    // The browser opens first, on the sources of the essay; the editor then has the morning.
    PageServer pages("Essay sources");
    Companion browser("chromium",
                      {"--no-sandbox", "--user-data-dir=" + kHome + "/chromium", "--no-first-run",
                       "--no-default-browser-check", "--disable-gpu", "--window-size=1000,700",
                       pages.url("/sources.html")},
                      {"ACCESSIBILITY_ENABLED=1"});
    Window browserWindow = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const auto found = QRegularExpression("^(\\d+)$", QRegularExpression::MultilineOption)
                                   .match(QString::fromStdString(
                                       run("xdotool", {"search", "--name", "Essay sources"})));
            browserWindow = found.hasMatch() ? found.captured(1).toULong() : 0;
            return browserWindow != 0;
        },
        kWaitMilliseconds));
    ASSERT_TRUE(bringToFront(editor));
    // A minute and more of deep work: the day's summary has something to say.
    stayAtTheDesk(65);
    shot("editor");
    ASSERT_TRUE(bringToFront(browserWindow));
    stayAtTheDesk(20);
    shot("browser");

    // ---- a focus task with a lockdown, from the dashboard's lock-in page ----
    raiseDashboard();
    click("push button", "Lock in",
          [](const QString& name) { return name == "Lock in"; }); // the sidebar's, first
    const auto taskField = waitForNode("text", [](const QString&) { return true; });
    ASSERT_TRUE(taskField) << accessible.dump(pid());
    desktop.click(taskField->extents.center().x(), taskField->extents.center().y());
    QTest::qWait(300);
    desktop.type("Essay draft");
    click("push button", "Choose apps");
    QTest::qWait(800);
    desktop.type("chrom");
    QTest::qWait(500);
    shot("app-picker");
    pickFirstApp();
    // The form's own button, right of the sidebar's.
    std::optional<AccessibleTree::Node> startButton;
    for (const auto& node : accessible.nodes(pid())) {
        if (node.showing && node.role == "push button" && node.name == "Lock in" &&
            node.extents.x() > 300) {
            startButton = node;
        }
    }
    ASSERT_TRUE(startButton) << accessible.dump(pid());
    desktop.click(startButton->extents.center().x(), startButton->extents.center().y());
    ASSERT_TRUE(logged("engaged mode=focusTask")) << "the lockdown did not start";
    shot("task-running");

    // ---- a blocked window comes to the front: the wall ----
    desktop.activate(chatter);
    const auto backToWork = waitForNode("push button", "OK, back to work");
    ASSERT_TRUE(backToWork) << accessible.dump(pid());
    // One wall on each monitor.
    std::set<bool> wallOnScreen;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            wallOnScreen.clear();
            for (const auto& node : accessible.nodes(pid())) {
                if (node.showing && node.name == "OK, back to work") {
                    wallOnScreen.insert(node.extents.x() >= 1280);
                }
            }
            return wallOnScreen.size() == 2;
        },
        kWaitMilliseconds))
        << accessible.dump(pid());
    shot("wall");
    click("push button", "Type escape sentence");
    QTest::qWait(500);
    desktop.type(kBreakOutSentence);
    shot("break-out-sentence");
    click("push button", "Break out");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return rows("SELECT ended_reason FROM focus_tasks").size() == 1; },
                        kWaitMilliseconds));
    shot("broken-out");

    // ---- quit from the popover ----
    quitFromPopover();
    shot("quit");

    // ---- the morning gate, armed in the settings file, and the day planned at the wall ----
    armMorningGate();
    startKestrove();
    const auto startTheDay = waitForNode("push button", "Start the day", 90000);
    ASSERT_TRUE(startTheDay) << accessible.dump(pid());
    shot("morning-wall");
    const auto planField = waitForNode("text", [](const QString&) { return true; });
    ASSERT_TRUE(planField) << accessible.dump(pid());
    desktop.click(planField->extents.center().x(), planField->extents.center().y());
    QTest::qWait(300);
    desktop.type("Write the parser");
    shot("plan-typed");
    click("push button", "Start the day");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !waitForNode("push button", "Start the day", 200); },
                                kWaitMilliseconds))
        << accessible.dump(pid());
    shot("day-planned");

    // ---- the planned block, started from the popover's plan line ----
    ASSERT_TRUE(bringToFront(browserWindow)); // the app the block allows
    // The wall gave the block the apps of the last task, so it starts at once. The line sits
    // below the popover's fixed header, its button at the right.
    openPopover();
    run("xdotool", {"mousemove", "--window", QString::fromStdString(windowOfKestrove("344x")),
                    "302", "158", "click", "1"});
    // The program says so in its log: the second task of the day starts.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            readLog();
            const auto first = log.find("startFocusTask");
            return first != std::string::npos &&
                   log.find("startFocusTask", first + 1) != std::string::npos;
        },
        kWaitMilliseconds))
        << log;
    // The block is a lockdown: should another window have come to the front meanwhile, the
    // wall asks to go back to work.
    if (waitForNode("push button", "OK, back to work", 3000)) {
        shot("planned-block-wall");
        click("push button", "OK, back to work");
    }
    stayAtTheDesk(3);
    shot("planned-block");

    // ---- the shutdown ritual, from the popover's menu ----
    openPopover();
    chooseFromPopoverMenu(3); // "Shutdown ritual…", above "Settings…" and "Quit Kestrove"
    const auto complete = waitForNode("push button", "Shutdown Complete");
    ASSERT_TRUE(complete) << accessible.dump(pid());
    const auto tomorrowField = waitForNode("text", [](const QString&) { return true; });
    ASSERT_TRUE(tomorrowField) << accessible.dump(pid());
    desktop.click(tomorrowField->extents.center().x(), tomorrowField->extents.center().y());
    QTest::qWait(300);
    desktop.type("Review the parser");
    shot("shutdown-ritual");
    click("push button", "Shutdown Complete");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !waitForNode("push button", "Shutdown Complete", 200); }, kWaitMilliseconds));
    shot("shutdown-complete");

    // ---- a share card from the command line ----
    int exitCode = -1;
    const QString card = kFolder + "/card.png";
    QFile::remove(card);
    const std::string cardOutput =
        run(kProgram, {"export-card", "--period", "today", "--output", card}, &exitCode);
    EXPECT_EQ(exitCode, 0) << cardOutput;
    const QImage cardImage(card);
    EXPECT_EQ(cardImage.size(), QSize(2400, 1350)) << cardOutput;

    // ---- a link, opened the desktop's way ----
    run("xdg-open", {"kestrove://week"});
    EXPECT_TRUE(logged("open url: kestrove://week"));
    EXPECT_TRUE(
        QTest::qWaitFor([] { return !windowOfKestrove("1120x720").empty(); }, kWaitMilliseconds));
    // The dashboard shows this week's page, with its own share button.
    EXPECT_TRUE(waitForNode("push button", "Share week").has_value()) << accessible.dump(pid());
    shot("week");

    quitFromPopover();
    shot("end-of-day");

    // ---- what the day left behind ----
    const auto focusTasks =
        rows("SELECT task_name, is_lockdown, completed, ended_reason, breakout_attempts, "
             "allowed_bundle_ids LIKE '%chromium%' FROM focus_tasks ORDER BY id");
    ASSERT_EQ(focusTasks.size(), 1u);
    EXPECT_EQ(focusTasks[0],
              (std::vector<std::string>{"Essay draft", "1", "0", "brokeOut", "1", "1"}));
    EXPECT_EQ(rows("SELECT attempted_bundle_id FROM lockdown_blocks"),
              (std::vector<std::vector<std::string>>{{"chatter"}}));
    EXPECT_FALSE(
        rows("SELECT 1 FROM segments WHERE bundle_id = 'editor' AND kind = 'deep'").empty())
        << "the editor's time is not deep work";
    EXPECT_FALSE(rows("SELECT 1 FROM segments WHERE domain = '127.0.0.1'").empty())
        << "the browser's site was not read";
    const auto plans = rows("SELECT blocks LIKE '%Write the parser%', completed_at IS NOT NULL "
                            "FROM day_plans");
    EXPECT_EQ(plans, (std::vector<std::vector<std::string>>{{"1", "1"}}));

    // Tomorrow's plan, written at the shutdown.
    QFile settingsFile(kPreferences);
    ASSERT_TRUE(settingsFile.open(QIODevice::ReadOnly));
    const QJsonObject settings = QJsonDocument::fromJson(settingsFile.readAll()).object();
    EXPECT_EQ(settings["tomorrowPlan"].toObject()["string"].toString(), "Review the parser");
    EXPECT_TRUE(settings["isShutdown"].toObject()["bool"].toBool());
    // The planned block still runs, with the browser it allows, kept for the next start.
    const QJsonObject running =
        QJsonDocument::fromJson(
            QByteArray::fromBase64(
                settings["activeFocusTask"].toObject()["data"].toString().toUtf8()))
            .object();
    EXPECT_EQ(running["name"].toString(), "Write the parser");
    EXPECT_EQ(running["allowedBundleIDs"].toArray().first().toString(), "org.chromium.chromium");

    // The daily summary, posted once the day had its minute of deep work.
    bool summary = false;
    for (const auto& notification : notifications.received) {
        summary = summary || notification.summary == "Today's deep work";
    }
    EXPECT_TRUE(summary) << notifications.received.size() << " notifications";
    // The focus phases broadcast on the session bus.
    // The focus phases broadcast on the session bus: each start enters a phase, every
    // broadcast says which and when.
    const auto events = focusSignals.events();
    EXPECT_GE(std::count(events.begin(), events.end(), "phase_changed"), 2) << events.size();
    for (const auto& entries : focusSignals.received) {
        EXPECT_TRUE(entries.contains("phase") && entries.contains("timestamp"));
        std::cout << "focus broadcast:";
        for (const auto& [key, value] : entries) {
            std::cout << " " << key << "=" << value;
        }
        std::cout << "\n";
    }
}

} // namespace
} // namespace kestrove::journey

int main(int argc, char** argv)
{
    // Pictures of the screens need a connection to the display of its own.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication application(argc, argv);
    std::setlocale(LC_ALL, "C.UTF-8");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
