#include "support/EngineRig.h"
#include "support/TimeZone.h"

#include "core/Calendar.h"
#include "core/Uuid.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

class SessionEngineFocusTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        rig.show("com.jetbrains.clion", "main.cpp");
        rig.start();
    }

    FocusTask task(double minutes, bool lockdown,
                   std::vector<std::string> apps = {"com.jetbrains.clion"})
    {
        FocusTask t;
        t.id = Uuid::generate();
        t.name = "Parser";
        t.estimatedSeconds = minutes * 60;
        t.allowedBundleIDs = std::move(apps);
        t.startedAt = rig.clock.now();
        t.isLockdown = lockdown;
        return t;
    }

    ScopedTimeZone tz{"Europe/Berlin"};
    EngineRig rig{Calendar::date(2026, 3, 10, 9, 0, 0)};
};

} // namespace

TEST_F(SessionEngineFocusTest, LockdownTaskRunsTimesUpAndCompletes)
{
    rig.engine->startFocusTask(task(1, true));
    EXPECT_TRUE(rig.lockdown.engaged);
    EXPECT_EQ(rig.lockdown.mode,
              LockdownMode::focusTask(rig.engine->focusTaskManager().active()->id));
    EXPECT_EQ(rig.bridge.calls, std::vector<std::string>{"engage"});
    EXPECT_TRUE(rig.display.visible);
    EXPECT_TRUE(rig.prefs.contains(FocusTaskManager::kActiveTaskKey));
    const std::string id = rig.engine->focusTaskManager().active()->id;

    rig.run(30);
    rig.show("com.spotify.client"); // blocked by the lockdown: not on task
    rig.run(20);
    rig.show("com.jetbrains.clion", "main.cpp");
    rig.run(29);
    EXPECT_FALSE(rig.engine->awaitingTimeUp());
    rig.run(1); // 60 on-task seconds
    EXPECT_TRUE(rig.engine->awaitingTimeUp());
    EXPECT_EQ(rig.overlay.timeUpTasks, std::vector<std::string>{"Parser"});
    EXPECT_EQ(rig.desktop.sounds.size(), 1u);
    ASSERT_EQ(rig.notifications.posted.size(), 1u);
    rig.run(5);
    EXPECT_EQ(rig.overlay.timeUpTasks.size(), 1u); // once per prompt

    int ended = 0;
    const auto subscription = rig.engine->focusTaskEnded().subscribe([&] { ++ended; });
    rig.overlay.done();
    rig.settle();
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(rig.engine->focusTaskManager().active());
    EXPECT_FALSE(rig.lockdown.engaged);
    EXPECT_EQ(rig.bridge.calls, (std::vector<std::string>{"engage", "disengage"}));
    EXPECT_FALSE(rig.display.visible);
    EXPECT_FALSE(rig.engine->awaitingTimeUp());
    EXPECT_FALSE(rig.prefs.contains(FocusTaskManager::kActiveTaskKey));
    EXPECT_EQ(rig.gate.evaluations, 1);

    rig.run(1);
    rig.engine->stop();
    rig.settle();
    const auto rows = rig.rows(
        "SELECT task_uuid, completed, ended_reason, actual_active_seconds FROM focus_tasks");
    ASSERT_EQ(rows.size(), 1u);
    // Counting goes on while the prompt waits for an answer.
    EXPECT_EQ(rows[0], (std::vector<std::string>{id, "1", "completed", "65"}));
    // The task's segments carry its id while on task; off-task time carries none.
    const auto stamped =
        rig.rows("SELECT SUM(end_ts - start_ts) FROM segments WHERE focus_task_id = '" + id + "'");
    EXPECT_DOUBLE_EQ(std::stod(stamped[0][0]), 65);
}

TEST_F(SessionEngineFocusTest, TimeUpAnswerActsOnlyOnItsOwnTask)
{
    rig.engine->startFocusTask(task(1, false));
    rig.run(60);
    ASSERT_TRUE(rig.engine->awaitingTimeUp());
    const std::string id = rig.engine->focusTaskManager().active()->id;
    rig.engine->answerTimeUpExtend("6B1F3C2E-0000-4000-8000-0000000000FF", 15);
    EXPECT_TRUE(rig.engine->awaitingTimeUp());
    rig.engine->answerTimeUpExtend(id, 15);
    EXPECT_FALSE(rig.engine->awaitingTimeUp());
    EXPECT_EQ(rig.engine->focusTaskManager().active()->estimatedSeconds, 60 + 15 * 60);
    rig.engine->answerTimeUpDone("6B1F3C2E-0000-4000-8000-0000000000FF");
    rig.settle();
    EXPECT_TRUE(rig.engine->focusTaskManager().active());
}

TEST_F(SessionEngineFocusTest, EmptyAllowlistRunsUnenforcedButStillReleasesTheBridge)
{
    rig.engine->startFocusTask(task(30, true, {}));
    EXPECT_FALSE(rig.lockdown.engaged);
    EXPECT_TRUE(rig.bridge.calls.empty());
    rig.engine->endFocusTask(FocusTask::EndReason::brokeOut);
    rig.settle();
    EXPECT_EQ(rig.lockdown.disengages, 1);
    EXPECT_EQ(rig.bridge.calls, std::vector<std::string>{"disengage"});
    const auto rows = rig.rows("SELECT completed, ended_reason FROM focus_tasks");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"0", "brokeOut"}));
}

TEST_F(SessionEngineFocusTest, StartingASecondTaskEndsAndRecordsTheFirst)
{
    rig.engine->startFocusTask(task(30, true));
    const std::string first = rig.engine->focusTaskManager().active()->id;
    rig.run(5);
    rig.engine->startFocusTask(task(30, true));
    rig.settle();
    EXPECT_NE(rig.engine->focusTaskManager().active()->id, first);
    EXPECT_TRUE(rig.lockdown.engaged);
    EXPECT_EQ(rig.lockdown.engages, 2);
    EXPECT_EQ(rig.bridge.calls, (std::vector<std::string>{"engage", "disengage", "engage"}));
    const auto rows = rig.rows("SELECT task_uuid FROM focus_tasks");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], first);
}

TEST_F(SessionEngineFocusTest, TaskWithoutLockdownSurvivesARestart)
{
    rig.engine->startFocusTask(task(30, false));
    const std::string id = rig.engine->focusTaskManager().active()->id;
    rig.run(25);
    rig.restart();
    ASSERT_TRUE(rig.engine->focusTaskManager().active());
    EXPECT_EQ(rig.engine->focusTaskManager().active()->id, id);
    // Saved at most every 10 s: the copy is a few seconds behind.
    EXPECT_GE(rig.engine->focusTaskManager().active()->cumulativeOnTaskSeconds, 15);
    rig.start();
    rig.run(3);
    EXPECT_EQ(rig.tracker.sample().lockIn, LockInState::onTask);
}

TEST_F(SessionEngineFocusTest, PlannedAwayBlockCountsEverySecond)
{
    PlannedBlock away(Uuid::generate(), "  Walk and think ", 30, std::nullopt, std::nullopt,
                      std::nullopt, std::nullopt, std::nullopt, std::nullopt, {}, BlockMode::away);
    PlannedBlock blank = away;
    blank.task = "  ";
    EXPECT_FALSE(rig.engine->startPlannedBlock(blank));
    ASSERT_TRUE(rig.engine->startPlannedBlock(away));
    EXPECT_FALSE(rig.engine->startPlannedBlock(away)); // one runs
    const auto& active = *rig.engine->focusTaskManager().active();
    EXPECT_EQ(active.name, "Walk and think");
    EXPECT_FALSE(active.isLockdown);
    EXPECT_FALSE(rig.lockdown.engaged);
    EXPECT_TRUE(rig.engine->isAwayBlock());
    rig.input.seconds = 900; // nobody at the keyboard
    rig.run(10);
    EXPECT_EQ(rig.engine->focusTaskManager().active()->cumulativeOnTaskSeconds, 10);
    EXPECT_EQ(rig.tracker.sample().lockIn, LockInState::away);
}

TEST_F(SessionEngineFocusTest, AnApplicationTakenOutOfARunningTaskIsNoLongerOnTask)
{
    rig.engine->startFocusTask(task(30, true, {"com.jetbrains.clion", "org.gnome.terminal"}));
    rig.run(10);
    EXPECT_TRUE(rig.engine->focusTaskManager().isAccumulating());

    rig.engine->disallowAppDuringLockIn("COM.JetBrains.CLion");
    rig.engine->disallowAppDuringLockIn(""); // nothing
    EXPECT_EQ(rig.engine->focusTaskManager().active()->allowedBundleIDs,
              std::vector<std::string>{"org.gnome.terminal"});
    EXPECT_EQ(rig.lockdown.allowlist(), std::vector<std::string>{"org.gnome.terminal"});
    EXPECT_EQ(rig.presets.lastUsed(), std::vector<std::string>{"org.gnome.terminal"});
    const double counted = rig.engine->focusTaskManager().active()->cumulativeOnTaskSeconds;
    rig.run(10);
    EXPECT_FALSE(rig.engine->focusTaskManager().isAccumulating());
    EXPECT_EQ(rig.engine->focusTaskManager().active()->cumulativeOnTaskSeconds, counted);
}
