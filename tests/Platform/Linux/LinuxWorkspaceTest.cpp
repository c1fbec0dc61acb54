#include "Platform/Linux/LinuxWorkspace.h"
#include "Collectors/AppTracker.h"
#include "DesktopTestSupport.h"
#include "Platform/Linux/QtScheduler.h"
#include "Platform/Log.h"

#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <X11/Xatom.h>

#include <chrono>
#include <thread>

#include "TestWindows.h"

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
        {{"scroll", "Scroll", "ünïcødé " + longTitle, "", "", false},
         {"scroll", "Scroll", "ünïcødé " + longTitle, ""}},
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
            << c.spec.wmClass << ": got " << tracker.current().bundleID.value_or("nil") << " / "
            << tracker.current().appName << " / " << tracker.current().windowTitle.substr(0, 40);
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
