#include "ViewLogic/Lockdown/LockdownOverlay.h"

#include "support/FakeClock.h"
#include "support/FakeScheduler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrove {
namespace {

// Screens that keep what they were asked to show and let the test press their buttons.
struct RecordingScreens final : OverlayScreens
{
    int screens = 2;
    std::vector<std::string> shown; // "wall:<callout>", "timeUp:<task>", "down"
    WallContent wall;
    WallActions wallActions;
    TimeUpActions timeUpActions;
    // Which presentation the overlay was on when a caller's action ran.
    std::vector<std::string>* trace = nullptr;

    int screenCount() const override { return screens; }
    void showWall(const WallContent& content, WallActions actions) override
    {
        shown.push_back("wall:" + content.callout);
        wall = content;
        wallActions = std::move(actions);
    }
    void showTimeUp(const std::string& taskName, TimeUpActions actions) override
    {
        shown.push_back("timeUp:" + taskName);
        timeUpActions = std::move(actions);
    }
    void takeDown() override { shown.push_back("down"); }
};

struct LockdownOverlayTest : testing::Test
{
    FakeClock clock;
    FakeScheduler scheduler{clock};
    RecordingScreens screens;
    LockdownOverlay overlay{scheduler, clock};
    std::vector<std::string> ran;

    LockdownOverlayTest() { overlay.setScreens(&screens); }

    std::function<void()> record(std::string name)
    {
        return [this, name] { ran.push_back(name + (overlay.isShown() ? " while shown" : "")); };
    }
    void showWall(bool withAllow = true)
    {
        overlay.show("Discomfort is the price.", std::nullopt,
                     withAllow ? record("allow") : std::function<void()>{}, record("dismiss"),
                     record("breakout"));
    }
};

TEST_F(LockdownOverlayTest, EveryAnswerTakesTheOverlayDownBeforeItsAction)
{
    using Press = std::function<void(RecordingScreens&)>;
    const std::pair<Press, std::string> answers[] = {
        {[](RecordingScreens& s) { s.wallActions.allow(); }, "allow"},
        {[](RecordingScreens& s) { s.wallActions.dismiss(); }, "dismiss"},
        {[](RecordingScreens& s) { s.wallActions.breakOut(); }, "breakout"},
    };
    for (const auto& [press, name] : answers) {
        ran.clear();
        showWall();
        press(screens);
        EXPECT_EQ(ran, std::vector<std::string>{name});
        EXPECT_FALSE(overlay.isShown());
        EXPECT_EQ(screens.shown.back(), "down");
        EXPECT_FALSE(overlay.isAutoDismissRunning());
    }
    // The dismiss action ran once for its own answer only; a second press of an old wall's
    // button does nothing.
    screens.wallActions.dismiss();
    EXPECT_EQ(ran, std::vector<std::string>{"breakout"});

    ran.clear();
    overlay.showTimeUp("Write the report", record("done"),
                       [this](long long minutes) { ran.push_back(std::to_string(minutes)); });
    EXPECT_EQ(screens.shown.back(), "timeUp:Write the report");
    EXPECT_FALSE(overlay.isAutoDismissRunning()); // the prompt stays until answered
    screens.timeUpActions.extend(25);
    EXPECT_EQ(ran, std::vector<std::string>{"25"});
    EXPECT_FALSE(overlay.isShown());
}

TEST_F(LockdownOverlayTest, WallWithoutAllowOffersNone)
{
    showWall(false);
    EXPECT_FALSE(screens.wall.canAllow);
    EXPECT_FALSE(screens.wallActions.allow);
    showWall(true);
    EXPECT_TRUE(screens.wall.canAllow);
}

TEST_F(LockdownOverlayTest, WallTimesOutWithoutItsDismissAction)
{
    showWall();
    scheduler.advance(7.9);
    EXPECT_TRUE(overlay.isShown());
    scheduler.advance(0.1);
    EXPECT_FALSE(overlay.isShown());
    EXPECT_TRUE(ran.empty());

    // Two walls in a row: one timer, counted from the second; the first's action never runs.
    showWall();
    scheduler.advance(5);
    showWall();
    screens.wallActions.dismiss();
    EXPECT_EQ(ran, std::vector<std::string>{"dismiss"});
    showWall();
    scheduler.advance(5);
    showWall();
    scheduler.advance(5);
    EXPECT_TRUE(overlay.isShown());
    scheduler.advance(3);
    EXPECT_FALSE(overlay.isShown());
    EXPECT_EQ(scheduler.runningTimers(), 0);
}

TEST_F(LockdownOverlayTest, TimerPausesWhileAnyScreenShowsTheBreakOutCard)
{
    showWall();
    scheduler.advance(3);
    screens.wallActions.breakOutCardShown(0, true);
    scheduler.advance(60);
    EXPECT_TRUE(overlay.isShown());
    screens.wallActions.breakOutCardShown(1, true);
    screens.wallActions.breakOutCardShown(0, false);
    scheduler.advance(60);
    EXPECT_TRUE(overlay.isShown()); // screen 1 still shows it
    screens.wallActions.breakOutCardShown(1, false);
    scheduler.advance(4.9);
    EXPECT_TRUE(overlay.isShown());
    scheduler.advance(0.1); // the 5 s that were left when the card came up
    EXPECT_FALSE(overlay.isShown());
}

TEST_F(LockdownOverlayTest, TimeUpReplacesTheWallAndDropsItsDismissAction)
{
    showWall();
    overlay.showTimeUp("Essay", record("done"), [](long long) {});
    EXPECT_EQ(screens.shown,
              (std::vector<std::string>{"wall:Discomfort is the price.", "down", "timeUp:Essay"}));
    scheduler.advance(20);
    EXPECT_TRUE(overlay.isShown());
    screens.wallActions.dismiss(); // the wall's windows are gone; their buttons do nothing
    EXPECT_TRUE(ran.empty());
    screens.timeUpActions.done();
    EXPECT_EQ(ran, std::vector<std::string>{"done"});

    const auto count = screens.shown.size();
    overlay.hide(); // nothing shown: nothing changes
    EXPECT_EQ(screens.shown.size(), count);
}

} // namespace
} // namespace kestrove
