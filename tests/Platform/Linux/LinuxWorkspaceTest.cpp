#include "Platform/Linux/LinuxWorkspace.h"
#include "Collectors/AppTracker.h"
#include "DesktopTestSupport.h"
#include "Engine/Tracker.h"
#include "Platform/Linux/QtScheduler.h"
#include "Platform/Log.h"
#include "support/FakeBrowserScripting.h"
#include "support/FakeIdleTimeSource.h"
#include "support/FakeScheduler.h"
#include "support/FakeSystemEvents.h"
#include "support/ManualMainQueue.h"

#include <QProcess>
#include <QTest>

#include <functional>

#include <gtest/gtest.h>

#include <X11/Xatom.h>

#include <chrono>
#include <thread>

#include "support/TestWindows.h"

namespace kestrove {
namespace {

using testing_support::PrivateServer;
using testing_support::TemporaryFolder;
using testing_support::TestWindows;

constexpr int kWaitMilliseconds = 5000;

class LinuxWorkspaceTest : public testing::Test
{
protected:
    LinuxWorkspaceTest()
    {
        testing_support::ensureApplication();
        data.write("applications/code.desktop",
                   "[Desktop Entry]\nName=Visual Studio Code\nStartupWMClass=Code\n");
    }

    LinuxWorkspace::Options options() const
    {
        LinuxWorkspace::Options o;
        o.dataFolders = {data.path};
        return o;
    }

    Window show(const TestWindows::Spec& spec)
    {
        const Window window = windows.create(spec);
        windows.activate(window);
        return window;
    }

    TemporaryFolder data;
    TestWindows windows;
};

TEST_F(LinuxWorkspaceTest, CollectorReportsIdentityNameAndTitleOfActivatedWindows)
{
    const std::string longTitle(30000, 'x');
    const std::string umlautTitle = "Überblick — 日本語 ✓";
    const std::string fffd = "\uFFFD";
    auto repeated = [](const std::string& character, std::size_t count) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i) {
            text += character;
        }
        return text;
    };
    struct Case
    {
        TestWindows::Spec spec;
        AppContext expected;
    };
    const Case cases[] = {
        {{"code", "Code", "main.cpp — Kestrove", "", "", false},
         {"com.microsoft.vscode", "Visual Studio Code", "main.cpp — Kestrove", ""}},
        {{"gedit", "Gedit", umlautTitle, "", "org.gnome.TextEditor", false},
         {"org.gnome.texteditor", "Gedit", umlautTitle, ""}},
        {{"xterm", "XTerm", "", "Caf\xe9 au lait", "", false},
         {"xterm", "XTerm", "Caf\xc3\xa9 au lait", ""}},
        // Titles from hostile or broken clients: kept valid and no longer than 1,024 characters,
        // cut on a character.
        {{"scroll", "Scroll", "ünïcødé " + longTitle, "", "", false},
         {"scroll", "Scroll", "ünïcødé " + std::string(1016, 'x'), ""}},
        {{"bytes", "Bytes", "\xFF\xFE tab \xC3\x28 \xED\xA0\x80 end", "", "", false},
         {"bytes", "Bytes", fffd + fffd + " tab " + fffd + "( " + fffd + fffd + fffd + " end", ""}},
        {{"wide", "Wide", repeated("🙂", 100000), "", "", false},
         {"wide", "Wide", repeated("🙂", 1024), ""}},
        {{"bad",
          "B\xE9"
          "d\xC3",
          "ok", "", "", false},
         {"b\uFFFDd\uFFFD", "B\uFFFDd\uFFFD", "ok", ""}},
        {{"huge", std::string(20000, 'H'), "ok", "", "", false},
         {std::string(1024, 'h'), std::string(1024, 'H'), "ok", ""}},
        {{"kestrove", "Kestrove-test", "Dashboard", "", "", true},
         {"com.kestrove.app", "Kestrove", "Dashboard", ""}},
    };

    LinuxWorkspace workspace(options());
    QtScheduler scheduler;
    AppTracker tracker(workspace, scheduler);
    tracker.start();
    Window window = 0;
    for (const auto& c : cases) {
        window = show(c.spec);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return tracker.current() == c.expected; }, kWaitMilliseconds))
            << c.spec.instance << ": got "
            << tracker.current().bundleID.value_or("nil").substr(0, 40) << " / "
            << tracker.current().appName.substr(0, 40) << " (" << tracker.current().appName.size()
            << " bytes) / " << tracker.current().windowTitle.substr(0, 40) << " ("
            << tracker.current().windowTitle.size() << " bytes)";
    }

    // A new title raises no activation: the poll finds it within 2 s.
    windows.setTitle(window, "Settings");
    EXPECT_TRUE(QTest::qWaitFor([&] { return tracker.current().windowTitle == "Settings"; }, 2500));
}

TEST_F(LinuxWorkspaceTest, WindowDestroyedBetweenActivationAndPollIsNoWindow)
{
    LinuxWorkspace workspace(options());
    std::optional<FrontmostApplication> reported;
    workspace.addActivationObserver([&](const FrontmostApplication& app) { reported = app; });
    const Window window = show({"brief", "Brief", "gone soon", "", "", false});
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return reported && reported->window == window; }, kWaitMilliseconds));

    XDestroyWindow(windows.display(), window);
    XSync(windows.display(), False);
    EXPECT_EQ(workspace.windowInfo(*reported), WindowInfo{});
    const auto after = workspace.frontmostApplication();
    EXPECT_TRUE(!after || after->window != window);
    EXPECT_TRUE(workspace.isConnected());
    EXPECT_TRUE(workspace.isTrusted());
}

TEST_F(LinuxWorkspaceTest, WhatIsKeptOfAWindowFollowsEveryChangeOfItsProperties)
{
    LinuxWorkspace workspace(options());
    const Window window = show({"code", "Code", "one", "", "", false});
    auto front = [&] { return workspace.frontmostApplication().value_or(FrontmostApplication{}); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return front().window == window; }, kWaitMilliseconds));
    EXPECT_EQ(front().bundleID, "com.microsoft.vscode");
    EXPECT_EQ(workspace.windowInfo(front()).title, "one");

    struct Step
    {
        const char* what;
        std::function<void()> change;
        AppContext expected;
    };
    const Step steps[] = {
        {"WM_CLASS",
         [&] { windows.setClass(window, "gedit", "Gedit"); },
         {"gedit", "Gedit", "one", ""}},
        {"_GTK_APPLICATION_ID",
         [&] { windows.setText(window, "_GTK_APPLICATION_ID", "UTF8_STRING", "org.gnome.Maps"); },
         {"org.gnome.maps", "Gedit", "one", ""}},
        {"_NET_WM_PID",
         [&] { windows.setValues(window, "_NET_WM_PID", XA_CARDINAL, {getpid()}); },
         {"com.kestrove.app", "Kestrove", "one", ""}},
        {"_NET_WM_NAME",
         [&] { windows.setTitle(window, "two"); },
         {"com.kestrove.app", "Kestrove", "two", ""}},
        {"WM_NAME alone",
         [&] {
             windows.remove(window, "_NET_WM_NAME");
             windows.setText(window, "WM_NAME", "STRING", "three");
         },
         {"com.kestrove.app", "Kestrove", "three", ""}},
        {"no pid",
         [&] { windows.remove(window, "_NET_WM_PID"); },
         {"org.gnome.maps", "Gedit", "three", ""}},
    };
    auto context = [&] {
        const FrontmostApplication app = front();
        return AppContext{app.bundleID, app.localizedName.value_or(""),
                          workspace.windowInfo(app).title, ""};
    };
    for (const Step& step : steps) {
        step.change();
        EXPECT_TRUE(QTest::qWaitFor([&] { return context() == step.expected; }, kWaitMilliseconds))
            << step.what << ": got " << context().bundleID.value_or("nil") << " / "
            << context().appName << " / " << context().windowTitle;
    }
}

TEST_F(LinuxWorkspaceTest, DesktopEntriesAreReadAgainWhenTheyChange)
{
    LinuxWorkspace workspace(options());
    show({"novel", "Novel", "Chapter 1", "", "", false});
    auto name = [&] {
        return workspace.frontmostApplication().value_or(FrontmostApplication{}).localizedName;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return name() == "Novel"; }, kWaitMilliseconds));

    data.write("applications/novel.desktop", "[Desktop Entry]\nName=Novel Writer\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return name() == "Novel Writer"; }, kWaitMilliseconds));
}

// Without a window manager, the client window that holds the input focus is the active one.
Window focusedClient(TestWindows& windows, const std::string& name)
{
    const Window client = windows.create({name, name, name, "", "", false});
    const long normalState[] = {1, 0};
    const Atom wmState = XInternAtom(windows.display(), "WM_STATE", False);
    XChangeProperty(windows.display(), client, wmState, wmState, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(normalState), 2);
    const Window child = XCreateSimpleWindow(windows.display(), client, 0, 0, 10, 10, 0, 0, 0);
    XMapWindow(windows.display(), child);
    XSync(windows.display(), False);
    XSetInputFocus(windows.display(), child, RevertToParent, CurrentTime);
    XSync(windows.display(), False);
    return client;
}

TEST_F(LinuxWorkspaceTest, TrackerRecordsNothingFromTheLossOfTheDisplayUntilItIsBack)
{
    PrivateServer server;
    ASSERT_TRUE(server.start());
    LinuxWorkspace::Options o = options();
    o.displayName = server.display().toStdString();
    o.reconnectInterval = 0.1;
    LinuxWorkspace workspace(o);
    std::vector<bool> reported;
    workspace.addAvailabilityObserver([&](bool available) { reported.push_back(available); });

    FakeClock clock(1765000000.0);
    FakeScheduler scheduler(clock);
    ManualMainQueue mainQueue;
    FakeBrowserScripting scripting;
    FakeIdleTimeSource input;
    input.seconds = 0;
    FakeIdleTimeSource fallback;
    FakeSystemEvents events;
    AppTracker appTracker(workspace, scheduler);
    BrowserTracker browser(scripting, clock, mainQueue);
    SystemIdle idle(input, fallback);
    TemporaryFolder folder;
    DatabaseWorker database(mainQueue, folder.path + "/kestrove.db", clock);
    database.run([](Database& db) { db.open(); }).wait().value();
    Tracker tracker({appTracker, browser, idle, events, workspace}, clock);
    std::vector<Segment> closed;
    tracker.onSegmentClosed = [&](const Segment& segment) { closed.push_back(segment); };
    auto run = [&](int seconds) {
        for (int i = 0; i < seconds; ++i) {
            scheduler.advance(1);
            tracker.tick(clock.now());
        }
    };

    const Date t0 = clock.now();
    auto before = std::make_unique<TestWindows>(o.displayName.c_str());
    focusedClient(*before, "Before");
    tracker.start(database);
    run(10);
    EXPECT_EQ(tracker.sample().appName, "Before");

    clock.advance(0.5);
    before.reset();
    server.stop();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !workspace.isDisplayAvailable(); }, kWaitMilliseconds));
    EXPECT_EQ(reported, std::vector<bool>{false});
    EXPECT_EQ(tracker.open(), std::nullopt);
    run(20);
    EXPECT_EQ(tracker.open(), std::nullopt) << "the outage is not time in the last window";

    ASSERT_TRUE(server.start(QString::fromStdString(o.displayName)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return workspace.isDisplayAvailable(); }, kWaitMilliseconds));
    EXPECT_EQ(reported, (std::vector<bool>{false, true}));
    TestWindows after(o.displayName.c_str());
    focusedClient(after, "After");
    run(5);
    tracker.stop();

    ASSERT_GE(closed.size(), 2u);
    EXPECT_EQ(closed.front().appName, "Before");
    EXPECT_EQ(closed.front().start, t0);
    EXPECT_EQ(closed.front().end, t0 + 10.5) << "the segment ends at the loss";
    for (std::size_t i = 1; i < closed.size(); ++i) {
        EXPECT_GE(closed[i].start, t0 + 30.5) << closed[i].appName;
    }
    EXPECT_EQ(closed.back().appName, "After");
    EXPECT_EQ(closed.back().end, t0 + 35.5);
}

TEST_F(LinuxWorkspaceTest, TrustFollowsAWindowManagerThatComesAndGoes)
{
    PrivateServer server;
    ASSERT_TRUE(server.start());
    LinuxWorkspace::Options o = options();
    o.displayName = server.display().toStdString();
    LinuxWorkspace workspace(o);
    EXPECT_FALSE(workspace.isTrusted());

    // A window manager announces itself with a check window and the hints it supports.
    TestWindows manager(o.displayName.c_str());
    const Window root = DefaultRootWindow(manager.display());
    const Window check = XCreateSimpleWindow(manager.display(), root, 0, 0, 1, 1, 0, 0, 0);
    manager.setValues(check, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, {long(check)});
    manager.setValues(root, "_NET_SUPPORTED", XA_ATOM, {long(manager.atom("_NET_WM_NAME"))});
    manager.setValues(root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, {long(check)});
    EXPECT_FALSE(QTest::qWaitFor([&] { return workspace.isTrusted(); }, 300))
        << "a manager that does not announce the active window";
    manager.setValues(
        root, "_NET_SUPPORTED", XA_ATOM,
        {long(manager.atom("_NET_WM_NAME")), long(manager.atom("_NET_ACTIVE_WINDOW"))});
    EXPECT_TRUE(QTest::qWaitFor([&] { return workspace.isTrusted(); }, kWaitMilliseconds));

    // A manager that quits leaves the root's properties behind; its check window goes.
    XDestroyWindow(manager.display(), check);
    XSync(manager.display(), False);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !workspace.isTrusted(); }, kWaitMilliseconds));
}

TEST_F(LinuxWorkspaceTest, LostDisplayIsLoggedReportsNothingAndIsReconnected)
{
    PrivateServer server;
    ASSERT_TRUE(server.start());
    std::vector<std::string> lines;
    Log::setSink([&](Log::Level, const std::string&, const std::string& l) { lines.push_back(l); });

    LinuxWorkspace::Options o = options();
    o.displayName = server.display().toStdString();
    o.reconnectInterval = 0.1;
    LinuxWorkspace workspace(o);
    ASSERT_TRUE(workspace.isConnected());
    EXPECT_FALSE(workspace.isTrusted()) << "no window manager runs on the private display";

    // Without a window manager's _NET_ACTIVE_WINDOW, the client window holding the focus counts.
    {
        TestWindows bare(o.displayName.c_str());
        const Window client = bare.create({"bare", "Bare", "no manager", "", "", false});
        const long normalState[] = {1, 0};
        const Atom wmState = XInternAtom(bare.display(), "WM_STATE", False);
        XChangeProperty(bare.display(), client, wmState, wmState, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(normalState), 2);
        const Window child = XCreateSimpleWindow(bare.display(), client, 0, 0, 10, 10, 0, 0, 0);
        XMapWindow(bare.display(), child);
        XSync(bare.display(), False);
        XSetInputFocus(bare.display(), child, RevertToParent, CurrentTime);
        XSync(bare.display(), False);
        const auto app = workspace.frontmostApplication();
        ASSERT_TRUE(app.has_value());
        EXPECT_EQ(app->window, client);
        EXPECT_EQ(app->bundleID, "bare");
    }

    server.stop();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !workspace.isConnected(); }, kWaitMilliseconds));
    EXPECT_EQ(workspace.frontmostApplication(), std::nullopt);
    EXPECT_EQ(workspace.windowInfo(FrontmostApplication{}), WindowInfo{});

    ASSERT_TRUE(server.start(QString::fromStdString(o.displayName)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return workspace.isConnected(); }, kWaitMilliseconds));
    Log::setSink(nullptr);
    EXPECT_EQ(lines.front(), "X connection lost; nothing is reported until it is back");
}

TEST_F(LinuxWorkspaceTest, WindowBackFromIconifiedIsActivatedAgain)
{
    LinuxWorkspace workspace(options());
    std::vector<Window> reported;
    workspace.addActivationObserver(
        [&](const FrontmostApplication& app) { reported.push_back(app.window); });
    const Window window = show({"lonely", "Lonely", "alone", "", "", false});
    ASSERT_TRUE(QTest::qWaitFor([&] { return reported.size() == 1; }, kWaitMilliseconds));

    // Nothing else takes the focus when it is iconified; clicking it back is an activation.
    XIconifyWindow(windows.display(), window, DefaultScreen(windows.display()));
    XSync(windows.display(), False);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return workspace.frontmostApplication().value_or(FrontmostApplication{}).window == 0;
        },
        kWaitMilliseconds));
    QTest::qWait(50);
    windows.activate(window);
    EXPECT_TRUE(QTest::qWaitFor([&] { return reported.size() == 2; }, kWaitMilliseconds));
    EXPECT_EQ(reported, (std::vector<Window>{window, window}));
    // The dock or desktop type of a window is reported with it.
    EXPECT_EQ(workspace.frontmostApplication().value_or(FrontmostApplication{}).windowType,
              WindowType::normal);
}

// The window the window manager names active, read on the test's own connection.
Window activeOn(Display* display)
{
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    Window result = 0;
    XGetWindowProperty(display, DefaultRootWindow(display),
                       XInternAtom(display, "_NET_ACTIVE_WINDOW", False), 0, 1, False, XA_WINDOW,
                       &type, &format, &items, &remaining, &data);
    if (data && items > 0) {
        result = *reinterpret_cast<Window*>(data);
    }
    if (data) {
        XFree(data);
    }
    return result;
}

TEST_F(LinuxWorkspaceTest, WindowBackToTheFrontWithinOneBatchOfEventsIsActivatedAgain)
{
    LinuxWorkspace workspace(options());
    std::vector<Window> reported;
    workspace.addActivationObserver(
        [&](const FrontmostApplication& app) { reported.push_back(app.window); });
    const Window first = show({"first", "First", "one", "", "", false});
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return reported == std::vector<Window>{first}; }, kWaitMilliseconds));
    const Window second = windows.create({"second", "Second", "two", "", "", false});

    // Away and back again before the workspace reads a single event: it reads them all at once
    // and finds the first window named again, as it was when it last looked.
    windows.activate(second);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (activeOn(windows.display()) != second && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    windows.activate(first);
    while (activeOn(windows.display()) != first && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(activeOn(windows.display()), first);
    EXPECT_TRUE(QTest::qWaitFor([&] { return reported.size() >= 2; }, kWaitMilliseconds));
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(reported.back(), first);
}

} // namespace
} // namespace kestrove
