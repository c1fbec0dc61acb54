#include "Engine/WorkspaceLockdownEnforcer.h"

#include "support/FakeClock.h"
#include "support/FakeHider.h"
#include "support/FakeLockdown.h"
#include "support/FakeScheduler.h"
#include "support/FakeWorkspace.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kestrove {
namespace {

constexpr const char* kTask = "6F1C2B0A-1111-4222-8333-444455556666";

FrontmostApplication app(std::optional<std::string> bundleID, std::uint64_t window,
                         WindowType type = WindowType::normal)
{
    FrontmostApplication result;
    result.bundleID = std::move(bundleID);
    result.localizedName =
        result.bundleID ? std::optional<std::string>("App " + *result.bundleID) : std::nullopt;
    result.window = window;
    result.windowType = type;
    return result;
}

struct EnforcerTest : testing::Test
{
    FakeClock clock;
    FakeScheduler scheduler{clock};
    FakeWorkspace workspace;
    FakeHider hider;
    FakeLockdownOverlay overlay;
    WorkspaceLockdownEnforcer enforcer{workspace, scheduler, clock, hider, overlay};
    LogCapture log;

    std::vector<std::pair<std::string, std::string>> blocks;
    std::vector<std::string> allowed;
    int breakOuts = 0;
    int reasserts = 0;
    bool timeUpShown = false;

    EnforcerTest()
    {
        enforcer.setOnBlock([this](const std::string& bid, const std::string& task) {
            blocks.emplace_back(bid, task);
        });
        enforcer.setHooks({[this] { return timeUpShown; },
                           [this](const std::string& bid) { allowed.push_back(bid); },
                           [this] { ++breakOuts; }, [this] { ++reasserts; }});
    }

    void engageTask(std::vector<std::string> allowlist = {"org.mozilla.firefox", "code"})
    {
        enforcer.engage(allowlist, LockdownMode::focusTask(kTask));
    }
    // The wall's 8 s went by: the overlay took itself down without an answer.
    void wallTimesOut() { overlay.shown = false; }
};

TEST_F(EnforcerTest, AllowDecisionsInBothModes)
{
    struct Case
    {
        LockdownMode mode;
        std::vector<std::string> allowlist;
        std::optional<std::string> bundleID;
        bool allowed;
    };
    const auto task = LockdownMode::focusTask(kTask);
    const auto gate = LockdownMode::morningGate();
    const Case cases[] = {
        {task, {"com.google.chrome"}, "com.google.chrome", true},
        {task, {"com.google.chrome"}, "com.google.chrome.canary", true}, // an entry is a prefix
        {task, {"com.google.chrome"}, "com.google", false},
        {task, {"COM.Google.Chrome"}, "com.google.CHROME.beta", true}, // case never matters
        {task, {""}, "org.mozilla.firefox", false},                    // empty entry allows nothing
        {task, {"", "code"}, "", false},
        {task, {"code"}, std::nullopt, true}, // nothing identifies it: never blocked
        {task, {"code"}, "com.kestrove.app", true},
        {task, {"code"}, "thunar", true},               // a file manager
        {task, {"code"}, "gnome-control-center", true}, // the settings
        {task, {"code"}, "xfce4-panel", true},
        {task, {"code"}, "light-locker", true},
        {task, {"code"}, "com.tinyspeck.slackmacgap", false},
        {gate, {"com.tinyspeck.slackmacgap"}, "com.tinyspeck.slackmacgap", false}, // no allowlist
        {gate, {}, "com.kestrove.app", true},
        {gate, {}, "xscreensaver", true},
        {gate, {}, "xfce4-panel", true},
        {gate, {}, "thunar", false}, // the file manager is hidden from the morning wall
        {gate, {}, std::nullopt, true},
    };
    for (const auto& c : cases) {
        enforcer.disengage();
        enforcer.engage(c.allowlist, c.mode);
        EXPECT_EQ(enforcer.isAllowed(c.bundleID), c.allowed)
            << c.bundleID.value_or("<nil>") << (c.mode == gate ? " at the gate" : " in a task");
    }
    enforcer.disengage();
    enforcer.engage({"Code", "code", "", "CODE"}, task);
    EXPECT_EQ(enforcer.allowlist(), std::vector<std::string>{"code"});
}

TEST_F(EnforcerTest, OneBlockPerRaisedWallAndAnotherAfterItTimesOut)
{
    engageTask();
    workspace.activate(app("com.tinyspeck.slackmacgap", 7));
    ASSERT_EQ(overlay.callouts.size(), 1u);
    const auto& lines = WorkspaceLockdownEnforcer::callouts();
    EXPECT_EQ(lines.size(), 15u);
    EXPECT_NE(std::find(lines.begin(), lines.end(), overlay.callouts[0]), lines.end());
    EXPECT_EQ(enforcer.currentCallout(), overlay.callouts[0]);
    EXPECT_EQ(blocks, (decltype(blocks){{"com.tinyspeck.slackmacgap", kTask}}));
    EXPECT_TRUE(hider.calls.empty()); // it stays in front behind the wall until answered

    // The same application again, by activation or poll, while its wall is up: nothing new.
    workspace.activate(app("com.tinyspeck.slackmacgap", 8));
    scheduler.advance(4.0);
    EXPECT_EQ(overlay.callouts.size(), 1u);
    EXPECT_EQ(blocks.size(), 1u);

    wallTimesOut();
    scheduler.advance(2.0);
    EXPECT_EQ(overlay.callouts.size(), 2u);
    EXPECT_EQ(blocks.size(), 2u);
    EXPECT_TRUE(log.contains("poll caught com.tinyspeck.slackmacgap frontmost"));

    // Another blocked application while a wall is up gets its own wall and block.
    workspace.activate(app("com.hnc.discord", 9));
    EXPECT_EQ(overlay.callouts.size(), 3u);
    EXPECT_EQ(blocks.back().first, "com.hnc.discord");
}

TEST_F(EnforcerTest, DesktopPiecesAndTheTimeUpPromptAreNeverWalled)
{
    engageTask();
    workspace.activate(app("some-dock", 3, WindowType::dock));
    workspace.activate(app("pcmanfm-desktop", 4, WindowType::desktop));
    scheduler.advance(2.0);
    EXPECT_TRUE(overlay.callouts.empty());

    timeUpShown = true;
    workspace.activate(app("com.tinyspeck.slackmacgap", 7));
    scheduler.advance(2.0);
    EXPECT_TRUE(overlay.callouts.empty());
    EXPECT_TRUE(blocks.empty());
    EXPECT_TRUE(log.contains("poll caught com.tinyspeck.slackmacgap frontmost"));

    // No wall, no report and no hide before an engage.
    enforcer.disengage();
    timeUpShown = false;
    workspace.activate(app("com.hnc.discord", 9));
    scheduler.advance(2.0);
    EXPECT_TRUE(overlay.callouts.empty());
    EXPECT_TRUE(hider.calls.empty());
}

TEST_F(EnforcerTest, AllowedActivationTakesTheWallDownAndIsTheRefocusTarget)
{
    engageTask();
    workspace.activate(app("code", 11));
    workspace.activate(app("com.kestrove.app", 12)); // our own window is allowed, not a target
    workspace.activate(app("com.tinyspeck.slackmacgap", 7));
    ASSERT_TRUE(overlay.shown);

    workspace.activate(app("org.mozilla.firefox", 13));
    EXPECT_FALSE(overlay.shown);
    EXPECT_EQ(enforcer.currentBlockedBundleID(), std::nullopt);
    EXPECT_TRUE(log.contains("allowed app activated (org.mozilla.firefox) — dismissing overlay"));

    // "OK, back to work" with the blocked application in front: hide it, front Firefox.
    workspace.activate(app("com.tinyspeck.slackmacgap", 7));
    overlay.shown = false;
    overlay.dismiss();
    ASSERT_EQ(hider.calls.size(), 1u);
    EXPECT_EQ(hider.calls[0].request.bundleID, "com.tinyspeck.slackmacgap");
    EXPECT_EQ(hider.calls[0].request.refocusTo, "org.mozilla.firefox");
    EXPECT_EQ(hider.calls[0].request.refocusWindow, 13u);
    EXPECT_TRUE(
        log.contains("dismiss-time refocus off com.tinyspeck.slackmacgap → org.mozilla.firefox"));

    hider.finish(0, {true, ""});
    EXPECT_TRUE(log.contains("hide ok for com.tinyspeck.slackmacgap"));

    // Dismissed after the user already switched to an allowed application: nothing to hide.
    workspace.activate(app("com.hnc.discord", 8));
    workspace.frontmost = app("code", 11);
    overlay.dismiss();
    EXPECT_EQ(hider.calls.size(), 1u);
}

TEST_F(EnforcerTest, DismissWithoutAnAllowedApplicationOnlyHides)
{
    engageTask();
    workspace.activate(app("com.kestrove.app", 12));
    workspace.activate(app("com.hnc.discord", 8));
    overlay.dismiss();
    ASSERT_EQ(hider.calls.size(), 1u);
    EXPECT_EQ(hider.calls[0].request.refocusTo, std::nullopt);
    EXPECT_TRUE(log.contains("dismiss-time refocus off com.hnc.discord → <no target>"));
    hider.finish(0, {false, "1 of 2 windows still shown"});
    EXPECT_TRUE(log.contains("hide failed for com.hnc.discord: 1 of 2 windows still shown"));
}

TEST_F(EnforcerTest, WallAnswersReachTheirOwners)
{
    engageTask();
    workspace.activate(app("com.hnc.discord", 8));
    overlay.allow();
    EXPECT_EQ(allowed, std::vector<std::string>{"com.hnc.discord"});
    EXPECT_EQ(enforcer.currentBlockedBundleID(), std::nullopt);
    overlay.breakout();
    EXPECT_EQ(breakOuts, 1);
}

TEST_F(EnforcerTest, AddingTheBlockedApplicationLetsItThrough)
{
    enforcer.addToAllowlist("com.hnc.discord"); // not engaged: nothing
    EXPECT_TRUE(enforcer.allowlist().empty());

    engageTask();
    workspace.activate(app("com.hnc.Discord", 8));
    ASSERT_TRUE(overlay.shown);
    const auto before = log.size();
    enforcer.addToAllowlist("");
    enforcer.addToAllowlist("code");
    EXPECT_EQ(log.size(), before); // already there, or empty: nothing changes
    enforcer.addToAllowlist("COM.HNC.DISCORD");
    EXPECT_FALSE(overlay.shown);
    EXPECT_TRUE(enforcer.isAllowed("com.hnc.discord.canary"));
    EXPECT_TRUE(log.contains("live-added com.hnc.discord to allowlist (now 3 apps)"));
}

TEST_F(EnforcerTest, AnApplicationTakenOutIsWalledAtItsNextActivation)
{
    enforcer.removeFromAllowlist("code"); // not engaged: nothing
    engageTask();
    enforcer.removeFromAllowlist("CODE");
    enforcer.removeFromAllowlist("not.there");
    EXPECT_EQ(enforcer.allowlist(), std::vector<std::string>{"org.mozilla.firefox"});
    EXPECT_TRUE(log.contains("live-removed code from allowlist (now 1 apps)"));
    workspace.activate(app("code", 8));
    EXPECT_TRUE(overlay.shown);
}

TEST_F(EnforcerTest, SecondEngageReplacesTheFirstAndDisengageEndsBoth)
{
    engageTask({"code"});
    engageTask({"org.mozilla.firefox"});
    EXPECT_EQ(workspace.observerCount(), 1u);
    EXPECT_EQ(scheduler.runningTimers(), 1);
    EXPECT_FALSE(enforcer.isAllowed("code"));

    // The morning gate's preview does not take over a task's lockdown.
    enforcer.engage({}, LockdownMode::morningGate());
    EXPECT_EQ(enforcer.mode(), LockdownMode::focusTask(kTask));
    EXPECT_TRUE(enforcer.isAllowed("org.mozilla.firefox"));

    enforcer.disengage();
    EXPECT_FALSE(enforcer.isEngaged());
    EXPECT_EQ(workspace.observerCount(), 0u);
    EXPECT_EQ(scheduler.runningTimers(), 0);
    EXPECT_TRUE(enforcer.allowlist().empty());
    EXPECT_NE(enforcer.mode(), LockdownMode::focusTask(kTask));
    const auto before = log.size();
    enforcer.disengage();
    EXPECT_EQ(log.size(), before);

    // A task's lockdown may follow the gate's.
    enforcer.engage({}, LockdownMode::morningGate());
    engageTask({"code"});
    EXPECT_EQ(enforcer.mode(), LockdownMode::focusTask(kTask));
    EXPECT_EQ(workspace.observerCount(), 1u);
}

TEST_F(EnforcerTest, MorningGateHidesAndBringsTheWallBack)
{
    enforcer.engage({}, LockdownMode::morningGate());
    workspace.activate(app("thunar", 5));
    ASSERT_EQ(hider.calls.size(), 1u);
    EXPECT_EQ(hider.calls[0].request.bundleID, "thunar");
    EXPECT_EQ(hider.calls[0].request.refocusTo, "com.kestrove.app");
    EXPECT_EQ(reasserts, 1);
    EXPECT_TRUE(overlay.callouts.empty());
    EXPECT_TRUE(blocks.empty());
    EXPECT_TRUE(log.contains("gate blocked thunar → evict"));
}

TEST_F(EnforcerTest, HidesAreThrottledPerIdentifierAsPassed)
{
    enforcer.engage({}, LockdownMode::morningGate());
    auto activations = [&](std::vector<std::string> ids) {
        for (const auto& id : ids) {
            workspace.activate(app(id, 5));
        }
    };
    activations({"thunar", "thunar"});
    clock.advance(0.5);
    activations({"thunar", "Thunar", "code"});
    EXPECT_EQ(hider.calls.size(), 3u); // thunar once, Thunar and code each their own
    clock.advance(0.3);                // 0.8 s after the first
    activations({"thunar"});
    EXPECT_EQ(hider.calls.size(), 4u);
    EXPECT_EQ(hider.calls.back().request.bundleID, "thunar");
}

TEST_F(EnforcerTest, UnsafeIdentifiersAreNeverHandedOn)
{
    enforcer.engage({}, LockdownMode::morningGate());
    struct Case
    {
        std::string bundleID;
        std::string message; // empty: handed to the hider
    };
    const Case cases[] = {
        {"", "refusing to script an unsafe bundle id (0 chars)"},
        {"evil app", "refusing to script an unsafe bundle id (8 chars)"},
        {"a\"b", "refusing to script an unsafe bundle id (3 chars)"},
        {"a/b.c", "refusing to script an unsafe bundle id (5 chars)"},
        {"org.mozilla.fireföx", ""}, // letters of any script pass
    };
    for (const auto& c : cases) {
        const auto before = hider.calls.size();
        workspace.activate(app(c.bundleID, 5));
        if (c.message.empty()) {
            EXPECT_EQ(hider.calls.size(), before + 1) << c.bundleID;
        } else {
            EXPECT_EQ(hider.calls.size(), before) << c.bundleID;
            EXPECT_TRUE(log.contains(c.message)) << c.message;
            EXPECT_FALSE(log.contains(c.bundleID.empty() ? "\x01" : c.bundleID + " ("))
                << c.bundleID;
        }
    }
    // Refused ones are throttled too: no second message within 0.75 s.
    workspace.activate(app("evil app", 5));
    EXPECT_EQ(log.count("(8 chars)"), 1);
}

TEST_F(EnforcerTest, UnsafeRefocusTargetIsDroppedAndTheHideGoesAhead)
{
    engageTask({"weird app"});
    workspace.activate(app("weird app", 4)); // allowed by its entry, but not safe to hand on
    workspace.activate(app("com.hnc.discord", 8));
    overlay.dismiss();
    ASSERT_EQ(hider.calls.size(), 1u);
    EXPECT_EQ(hider.calls[0].request.bundleID, "com.hnc.discord");
    EXPECT_EQ(hider.calls[0].request.refocusTo, std::nullopt);
}

} // namespace
} // namespace kestrove
