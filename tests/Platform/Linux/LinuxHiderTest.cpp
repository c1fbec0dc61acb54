#include "Platform/Linux/LinuxHider.h"

#include "DesktopTestSupport.h"
#include "Platform/Linux/AppIdentityResolver.h"
#include "Platform/Linux/QtMainQueue.h"

#include <QObject>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "support/TestWindows.h"

namespace kestrove {
namespace {

using testing_support::TestWindows;

constexpr int kWaitMilliseconds = 5000;

class LinuxHiderTest : public testing::Test
{
protected:
    LinuxHiderTest() { testing_support::ensureApplication(); }

    LinuxHider::Options options()
    {
        LinuxHider::Options o;
        o.resolver = [] { return std::make_shared<const AppIdentityResolver>(); };
        return o;
    }

    // A window the window manager has taken in and made active.
    Window show(const std::string& wmClass, const std::string& title)
    {
        const Window window = windows.create({wmClass, wmClass, title, "", "", false});
        windows.activate(window);
        EXPECT_TRUE(QTest::qWaitFor([&] { return active() == window; }, kWaitMilliseconds));
        return window;
    }

    long property(Window window, const char* name, const char* type)
    {
        Display* display = windows.display();
        Atom actual = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long remaining = 0;
        unsigned char* data = nullptr;
        long result = -1;
        XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1, False,
                           XInternAtom(display, type, False), &actual, &format, &items, &remaining,
                           &data);
        if (data && items > 0) {
            result = *reinterpret_cast<long*>(data);
        }
        if (data) {
            XFree(data);
        }
        return result;
    }
    long wmState(Window window) { return property(window, "WM_STATE", "WM_STATE"); }
    Window active()
    {
        return static_cast<Window>(
            property(DefaultRootWindow(windows.display()), "_NET_ACTIVE_WINDOW", "WINDOW"));
    }

    // Runs one request and waits for its answer on the main thread.
    Hider::Outcome hide(LinuxHider& hider, Hider::Request request)
    {
        std::optional<Hider::Outcome> outcome;
        hider.hide(std::move(request), [&](const Hider::Outcome& o) { outcome = o; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return outcome.has_value(); }, kWaitMilliseconds));
        return outcome.value_or(Hider::Outcome{false, "no answer"});
    }

    TestWindows windows;
    QObject context;
    QtMainQueue mainQueue{&context};
};

TEST_F(LinuxHiderTest, IconifiesEveryWindowOfTheApplicationAndFrontsTheKeeper)
{
    const Window editor = show("Keeper", "notes");
    const Window chatA = show("Chatter", "general");
    const Window chatB = show("Chatter", "random");

    LinuxHider hider(mainQueue, options());
    const auto outcome = hide(hider, {"chatter", "keeper", 0});
    EXPECT_TRUE(outcome.hidden) << outcome.detail;
    EXPECT_EQ(wmState(chatA), IconicState);
    EXPECT_EQ(wmState(chatB), IconicState);
    EXPECT_EQ(wmState(editor), NormalState);
    EXPECT_TRUE(QTest::qWaitFor([&] { return active() == editor; }, kWaitMilliseconds));
}

TEST_F(LinuxHiderTest, FrontsTheRememberedWindowOverTheTopmostOne)
{
    const Window first = show("Keeper", "first");
    const Window second = show("Keeper", "second");
    show("Chatter", "general");
    LinuxHider hider(mainQueue, options());
    EXPECT_TRUE(hide(hider, {"chatter", "keeper", first}).hidden);
    EXPECT_TRUE(QTest::qWaitFor([&] { return active() == first; }, kWaitMilliseconds));

    show("Chatter", "again");
    EXPECT_TRUE(hide(hider, {"chatter", "keeper", 0}).hidden); // topmost: the one used last
    EXPECT_TRUE(QTest::qWaitFor([&] { return active() == first; }, kWaitMilliseconds));
    EXPECT_EQ(wmState(second), NormalState);
}

TEST_F(LinuxHiderTest, NothingToHideIsDoneAndDesktopPiecesStay)
{
    LinuxHider hider(mainQueue, options());
    EXPECT_TRUE(hide(hider, {"not-running", std::nullopt, 0}).hidden);

    // A dock of the same class is part of the desktop: never iconified.
    Display* display = windows.display();
    const Window dock =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 300, 30, 0, 0, 0);
    XClassHint hint{const_cast<char*>("chatter"), const_cast<char*>("Chatter")};
    XSetClassHint(display, dock, &hint);
    const Atom dockType = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DOCK", False);
    XChangeProperty(display, dock, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&dockType), 1);
    XMapWindow(display, dock);
    XSync(display, False);
    const Window chat = show("Chatter", "general");
    EXPECT_TRUE(hide(hider, {"chatter", std::nullopt, 0}).hidden);
    EXPECT_EQ(wmState(chat), IconicState);
    EXPECT_NE(wmState(dock), IconicState);
}

TEST_F(LinuxHiderTest, RequestsRunInOrderOnTheirOwnThread)
{
    std::vector<Window> chats;
    for (const char* name : {"One", "Two", "Three"}) {
        chats.push_back(show(name, name));
    }
    LinuxHider hider(mainQueue, options());
    std::vector<std::string> answered;
    for (const char* id : {"one", "two", "three"}) {
        hider.hide({id, std::nullopt, 0}, [&answered, id](const Hider::Outcome& outcome) {
            answered.push_back(std::string(id) + (outcome.hidden ? " hidden" : " shown"));
        });
    }
    hider.waitUntilIdle();
    EXPECT_TRUE(QTest::qWaitFor([&] { return answered.size() == 3; }, kWaitMilliseconds));
    EXPECT_EQ(answered, (std::vector<std::string>{"one hidden", "two hidden", "three hidden"}));
    for (const Window chat : chats) {
        EXPECT_EQ(wmState(chat), IconicState);
    }
}

TEST_F(LinuxHiderTest, UnreachableDisplayIsReportedNotAssumed)
{
    auto o = options();
    o.displayName = ":9999";
    LinuxHider hider(mainQueue, o);
    const auto outcome = hide(hider, {"chatter", std::nullopt, 0});
    EXPECT_FALSE(outcome.hidden);
    EXPECT_EQ(outcome.detail, "the X display is out of reach");
}

// On a display of its own the test stands in for a window manager that refuses to iconify,
// and either honours _NET_WM_STATE_HIDDEN or ignores that too.
TEST_F(LinuxHiderTest, RefusedIconifyFallsBackToHiddenStateAndReportsWhatItFinds)
{
    struct Case
    {
        bool honoursHidden;
        bool hidden;
        std::string detail;
    };
    const Case cases[] = {{true, true, ""}, {false, false, "1 of 1 windows still shown"}};
    for (const Case& c : cases) {
        testing_support::PrivateServer server;
        ASSERT_TRUE(server.start());
        const std::string name = server.display().toStdString();
        TestWindows bare(name.c_str());
        Display* display = bare.display();
        const Window root = DefaultRootWindow(display);
        const Window chat = bare.create({"chatter", "Chatter", "general", "", "", false});
        const Atom wmState = XInternAtom(display, "WM_STATE", False);
        const long normal[] = {NormalState, 0};
        XChangeProperty(display, chat, wmState, wmState, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(normal), 2);
        XChangeProperty(display, root, XInternAtom(display, "_NET_CLIENT_LIST", False), XA_WINDOW,
                        32, PropModeReplace, reinterpret_cast<const unsigned char*>(&chat), 1);
        // Requests to the window manager are client messages to the root window.
        XSelectInput(display, root, SubstructureRedirectMask);
        XSync(display, False);

        auto o = options();
        o.displayName = name;
        o.fallbackAfter = 0.05;
        o.verifyWithin = 0.4;
        LinuxHider hider(mainQueue, o);
        std::optional<Hider::Outcome> outcome;
        hider.hide({"chatter", std::nullopt, 0}, [&](const Hider::Outcome& r) { outcome = r; });

        const Atom netState = XInternAtom(display, "_NET_WM_STATE", False);
        const Atom hiddenState = XInternAtom(display, "_NET_WM_STATE_HIDDEN", False);
        std::vector<std::string> asked;
        const auto playWindowManager = [&] {
            while (XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type != ClientMessage) {
                    continue;
                }
                char* type = XGetAtomName(display, event.xclient.message_type);
                asked.emplace_back(type);
                XFree(type);
                if (c.honoursHidden && event.xclient.message_type == netState &&
                    event.xclient.data.l[0] == 1 &&
                    static_cast<Atom>(event.xclient.data.l[1]) == hiddenState) {
                    XChangeProperty(display, event.xclient.window, netState, XA_ATOM, 32,
                                    PropModeReplace,
                                    reinterpret_cast<const unsigned char*>(&hiddenState), 1);
                    XSync(display, False);
                }
            }
            return outcome.has_value();
        };
        ASSERT_TRUE(QTest::qWaitFor(playWindowManager, kWaitMilliseconds));
        EXPECT_EQ(outcome->hidden, c.hidden);
        EXPECT_EQ(outcome->detail, c.detail);
        // Iconifying first; the hidden state only once that was refused.
        EXPECT_EQ(asked, (std::vector<std::string>{"WM_CHANGE_STATE", "_NET_WM_STATE"}));
    }
}

} // namespace
} // namespace kestrove
