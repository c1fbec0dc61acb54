#include "Collectors/AppTracker.h"
#include "support/FakeScheduler.h"
#include "support/FakeWorkspace.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrove {
namespace {

FrontmostApplication app(std::uint64_t window, std::optional<std::string> bundleID,
                         std::optional<std::string> name)
{
    return {std::move(bundleID), std::move(name), 100, window};
}

class AppTrackerTest : public testing::Test
{
protected:
    AppTrackerTest()
    {
        tracker.onContextChange = [this](const AppContext& context) { changes.push_back(context); };
    }

    FakeClock clock;
    FakeScheduler scheduler{clock};
    FakeWorkspace workspace;
    AppTracker tracker{workspace, scheduler};
    std::vector<AppContext> changes;
};

TEST_F(AppTrackerTest, StartAndActivationReportOnceAndPollPicksUpTitleChanges)
{
    workspace.frontmost = app(1, "org.mozilla.firefox", "Firefox");
    workspace.windows[1] = {"Inbox", ""};
    tracker.start();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(tracker.current(), (AppContext{"org.mozilla.firefox", "Firefox", "Inbox", ""}));

    workspace.windows[2] = {"notes.txt", ""};
    workspace.activate(app(2, "org.gnome.texteditor", "Text Editor"));
    workspace.activate(app(2, "org.gnome.texteditor", "Text Editor"));
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes.back().windowTitle, "notes.txt");

    workspace.windows[2] = {"plan.txt", ""};
    scheduler.advance(1.9);
    EXPECT_EQ(changes.size(), 2u);
    scheduler.advance(0.1);
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(tracker.current().windowTitle, "plan.txt");
    scheduler.advance(10);
    EXPECT_EQ(changes.size(), 3u) << "an unchanged window reports nothing";
}

TEST_F(AppTrackerTest, NamelessApplicationIsUnknownAtActivationAndPollsKeepWhatTheyCannotRead)
{
    tracker.start();
    workspace.activate(app(3, std::nullopt, std::nullopt));
    EXPECT_EQ(tracker.current().appName, "Unknown");
    workspace.activate(app(4, "xterm", std::nullopt));
    EXPECT_EQ(tracker.current().appName, "xterm");

    workspace.frontmost = app(5, std::nullopt, std::nullopt);
    workspace.windows[5] = {"shell", ""};
    scheduler.advance(2);
    EXPECT_EQ(tracker.current(), (AppContext{std::nullopt, "xterm", "shell", ""}));

    workspace.frontmost.reset();
    scheduler.advance(2);
    EXPECT_EQ(tracker.current().windowTitle, "shell") << "no frontmost application keeps it";
}

TEST_F(AppTrackerTest, StartingTwiceKeepsOneObserverAndOnePollAndStopEndsBoth)
{
    tracker.start();
    tracker.start();
    EXPECT_EQ(workspace.observerCount(), 1u);
    EXPECT_EQ(workspace.availabilityObserverCount(), 1u);
    EXPECT_EQ(scheduler.runningTimers(), 1);
    workspace.frontmost = app(1, "code", "Code");
    scheduler.advance(2);
    EXPECT_EQ(workspace.windowInfoReads, 1);

    tracker.stop();
    EXPECT_EQ(workspace.observerCount(), 0u);
    EXPECT_EQ(workspace.availabilityObserverCount(), 0u);
    EXPECT_EQ(scheduler.runningTimers(), 0);
    workspace.activate(app(2, "slack", "Slack"));
    scheduler.advance(10);
    EXPECT_EQ(tracker.current().bundleID, "code");
}

TEST_F(AppTrackerTest, ALostDisplayEmptiesTheContextWithoutReportingASwitch)
{
    workspace.frontmost = app(1, "code", "Code");
    workspace.windows[1] = {"main.cpp", ""};
    tracker.start();
    workspace.setAvailable(false);
    EXPECT_EQ(tracker.current(), AppContext{});
    scheduler.advance(10);
    EXPECT_EQ(tracker.current(), AppContext{}) << "polls without a display keep it empty";
    EXPECT_EQ(changes.size(), 1u);

    workspace.setAvailable(true);
    scheduler.advance(2);
    EXPECT_EQ(tracker.current(), (AppContext{"code", "Code", "main.cpp", ""}));
}

} // namespace
} // namespace kestrove
