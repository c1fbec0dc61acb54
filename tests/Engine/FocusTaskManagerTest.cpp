#include "Engine/FocusTaskManager.h"

#include "support/FakeClock.h"
#include "support/RecordingPreferences.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

constexpr Date kNow = 1'780'000'000;

FocusTask task(double estimate = 1800, double onTask = 0, bool lockdown = false)
{
    FocusTask t;
    t.id = "6B1F3C2E-0000-4000-8000-000000000001";
    t.name = "Write chapter";
    t.estimatedSeconds = estimate;
    t.cumulativeOnTaskSeconds = onTask;
    t.startedAt = kNow - 600;
    t.isLockdown = lockdown;
    t.allowedBundleIDs = {"org.gnu.emacs"};
    return t;
}

void save(Preferences& prefs, const FocusTask& t)
{
    prefs.setData(FocusTaskManager::kActiveTaskKey, {t.toJson().dump()});
}

} // namespace

TEST(FocusTaskManager, RestoreKeepsOnlyAYoungUnfinishedTaskWithoutLockdown)
{
    struct Row
    {
        double age, estimate, onTask;
        bool lockdown;
        bool active, stale, keyKept;
    };
    const Row rows[] = {
        {86340, 1800, 0, false, true, false, true},    // 23 h 59 min
        {86400, 1800, 0, false, false, false, false},  // 24 h exactly
        {600, 1800, 1800, false, false, false, false}, // estimate used up
        {600, 1800, 1799, false, true, false, true},
        {600, 1800, 0, true, false, true, false}, // lockdown never resumes
    };
    for (const Row& row : rows) {
        RecordingPreferences prefs;
        FocusTask saved = task(row.estimate, row.onTask, row.lockdown);
        saved.startedAt = kNow - row.age;
        save(prefs, saved);
        FakeClock clock(kNow);
        FocusTaskManager manager(prefs, clock);
        EXPECT_EQ(manager.active().has_value(), row.active) << row.age << " " << row.onTask;
        EXPECT_EQ(manager.staleLockdownTask().has_value(), row.stale) << row.age;
        EXPECT_EQ(prefs.contains(FocusTaskManager::kActiveTaskKey), row.keyKept) << row.age;
    }
}

TEST(FocusTaskManager, CountsOnTaskSecondsAndSavesAtMostEveryTenSeconds)
{
    RecordingPreferences prefs;
    FakeClock clock(kNow);
    FocusTaskManager manager(prefs, clock);
    EXPECT_FALSE(manager.tick(1, true, false)); // nothing runs
    manager.start(task(5));
    prefs.forgetWrites();

    EXPECT_FALSE(manager.tick(1, false, false)); // off task
    EXPECT_FALSE(manager.tick(1, true, true));   // idle
    EXPECT_FALSE(manager.isAccumulating());
    EXPECT_EQ(prefs.writes(FocusTaskManager::kActiveTaskKey), 0);
    for (int second = 1; second <= 4; ++second) {
        clock.advance(1);
        EXPECT_FALSE(manager.tick(1, true, false));
    }
    EXPECT_TRUE(manager.isAccumulating());
    EXPECT_EQ(prefs.writes(FocusTaskManager::kActiveTaskKey), 1); // the first counting second
    clock.advance(1);
    EXPECT_TRUE(manager.tick(1, true, false)); // 5 of 5
    clock.advance(10);
    EXPECT_TRUE(manager.tick(1, false, false)); // stays up until the estimate is raised
    EXPECT_EQ(manager.active()->cumulativeOnTaskSeconds, 5);
    EXPECT_EQ(prefs.writes(FocusTaskManager::kActiveTaskKey), 1);
    clock.advance(10);
    manager.tick(1, true, false);
    EXPECT_EQ(prefs.writes(FocusTaskManager::kActiveTaskKey), 2);
}

TEST(FocusTaskManager, AwayTaskCountsEverySecondAndStaysAwayAfterARestart)
{
    RecordingPreferences prefs;
    FakeClock clock(kNow);
    {
        FocusTaskManager manager(prefs, clock);
        FocusTask away = task();
        away.isAway = true;
        manager.start(away);
        manager.tick(1, false, true);
        EXPECT_EQ(manager.active()->cumulativeOnTaskSeconds, 1);
    }
    FocusTaskManager restarted(prefs, clock);
    ASSERT_TRUE(restarted.active());
    EXPECT_EQ(restarted.active()->isAway, true);
    restarted.tick(1, false, true);
    EXPECT_EQ(restarted.active()->cumulativeOnTaskSeconds, 2);
}
