#include "support/EngineRig.h"
#include "support/TimeZone.h"

#include "core/Calendar.h"

#include <gtest/gtest.h>

#include <future>

using namespace kestrove;

namespace {

class SessionEngineTickTest : public ::testing::Test
{
protected:
    ScopedTimeZone tz{"Europe/Berlin"};
};

Project project(const std::string& name)
{
    Project p;
    p.name = name;
    p.color = "blue";
    p.rules = {ProjectRule::app("com.jetbrains.clion")};
    return p;
}

} // namespace

TEST_F(SessionEngineTickTest, AccessibilityIsReadAgainEveryFifthTick)
{
    EngineRig rig(Calendar::date(2026, 3, 10, 9, 0, 0));
    rig.start();
    EXPECT_TRUE(rig.engine->permissions().hasAccessibility());
    rig.workspace.trusted = false;
    rig.run(4);
    EXPECT_TRUE(rig.engine->permissions().hasAccessibility());
    rig.run(1);
    EXPECT_FALSE(rig.engine->permissions().hasAccessibility());
}

TEST_F(SessionEngineTickTest, PinIsReleasedAfterMoreThan1200IdleSeconds)
{
    EngineRig rig(Calendar::date(2026, 3, 10, 9, 0, 0));
    rig.show("com.jetbrains.clion");
    rig.start();
    const Project added = rig.engine->projects().add(project("Compiler"));
    rig.engine->pinProject(added.id);
    EXPECT_EQ(rig.tracker.pinnedProjectID(), added.id);
    rig.input.seconds = 1200;
    rig.run(1);
    EXPECT_TRUE(rig.engine->projects().pinnedProjectID());
    rig.input.seconds = 1201;
    rig.run(1);
    EXPECT_FALSE(rig.engine->projects().pinnedProjectID());
    EXPECT_FALSE(rig.tracker.pinnedProjectID()); // the change reached the sampler
}

TEST_F(SessionEngineTickTest, ANewDayResetsTheShutdownOnceWhileItsRebuildRuns)
{
    EngineRig rig(Calendar::date(2026, 3, 10, 23, 59, 50));
    rig.start();
    rig.engine->completeShutdown("Start with the parser");
    rig.run(9);
    EXPECT_TRUE(rig.engine->isShutdownComplete());
    rig.prefs.forgetWrites();
    rig.scheduler.advance(10); // midnight passes; the rebuild has not come back yet
    rig.scheduler.advance(1);
    EXPECT_FALSE(rig.engine->isShutdownComplete());
    EXPECT_EQ(rig.prefs.writes(SessionEngine::kIsShutdownKey), 1);
    rig.settle();
    EXPECT_EQ(rig.engine->today().date, Calendar::date(2026, 3, 11));
    EXPECT_EQ(rig.engine->planForToday(), "Start with the parser");
}

TEST_F(SessionEngineTickTest, DailySummaryGoesOutOnceAtItsMinuteWithTheDaysFigures)
{
    EngineRig rig(Calendar::date(2026, 3, 10, 9, 54, 0));
    rig.prefs.setInteger(SessionEngine::kSummaryMinuteKey, 600);
    rig.prefs.setString(SessionEngine::kSummaryEnabledKey, "yes"); // not a Bool: enabled
    const Project compiler = project("Compiler");
    rig.show("com.jetbrains.clion");
    rig.start();
    rig.engine->projects().add(compiler);
    rig.run(359);
    EXPECT_TRUE(rig.notifications.posted.empty());
    rig.run(2); // the check at 10:00:01
    ASSERT_EQ(rig.notifications.posted.size(), 1u);
    EXPECT_EQ(rig.notifications.posted[0].body, "6m of deep work · 100% on Compiler · longest block 5m");
    EXPECT_EQ(rig.prefs.string(SessionEngine::kLastSummaryPostedKey), "2026-03-10");
    rig.run(120);
    EXPECT_EQ(rig.notifications.posted.size(), 1u);
}

TEST_F(SessionEngineTickTest, DailySummaryWaitsForTheDaysFiguresAfterARestart)
{
    EngineRig rig(Calendar::date(2026, 3, 10, 9, 58, 0));
    rig.prefs.setInteger(SessionEngine::kSummaryMinuteKey, 600);
    rig.prefs.setBool(SessionEngine::kSummaryEnabledKey, false);
    rig.show("com.jetbrains.clion");
    rig.start();
    rig.run(150);
    rig.prefs.setBool(SessionEngine::kSummaryEnabledKey, true);
    rig.restart();
    rig.engine->start();
    rig.engine->database().waitUntilIdle();
    // The database is held while the start finishes, so the first tick comes before the day
    // has been read.
    std::promise<void> release;
    rig.engine->database().run(
        [held = release.get_future().share()](Database&) { held.wait(); });
    rig.mainQueue.drain();
    rig.scheduler.advance(1.0);
    EXPECT_TRUE(rig.notifications.posted.empty());
    EXPECT_FALSE(rig.prefs.string(SessionEngine::kLastSummaryPostedKey));
    release.set_value();
    rig.settle();
    rig.run(1);
    ASSERT_EQ(rig.notifications.posted.size(), 1u);
    EXPECT_EQ(rig.notifications.posted[0].body, "2m of deep work");
}

TEST_F(SessionEngineTickTest, AssignNudgeAtExactly1800UnassignedSecondsAndOnlyOnce)
{
    EngineRig rig(Calendar::date(2026, 3, 10, 9, 0, 0));
    rig.prefs.setBool(SessionEngine::kSummaryEnabledKey, false);
    rig.show("com.jetbrains.clion", "parser.cpp");
    rig.start();
    // Checks run every 30 s and today is rebuilt every 15 s: the check of second 1771 sees
    // 1770 unassigned seconds, the one of second 1801 sees exactly 1800.
    rig.run(1800);
    EXPECT_TRUE(rig.notifications.posted.empty());
    rig.run(1);
    ASSERT_EQ(rig.notifications.posted.size(), 1u);
    EXPECT_TRUE(rig.prefs.boolValue(SessionEngine::kAssignNudgeShownKey).value_or(false));
    rig.run(60);
    EXPECT_EQ(rig.notifications.posted.size(), 1u);
}
