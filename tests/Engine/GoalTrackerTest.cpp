#include "Engine/GoalTracker.h"

#include "support/RecordingPreferences.h"

#include <gtest/gtest.h>

using namespace kestrove;

TEST(GoalTracker, StoredGoalOfZeroOrNoneReadsAsFourHours)
{
    RecordingPreferences prefs;
    EXPECT_EQ(GoalTracker(prefs).dailyGoalHours(), 4.0);
    prefs.setDouble(GoalTracker::kGoalKey, 0);
    EXPECT_EQ(GoalTracker(prefs).dailyGoalHours(), 4.0);
    prefs.setDouble(GoalTracker::kGoalKey, 2.5);
    EXPECT_EQ(GoalTracker(prefs).dailyGoalHours(), 2.5);
}

TEST(GoalTracker, ProgressAchievementAndRemainingText)
{
    struct Row
    {
        double goalHours, deepSeconds, progress;
        bool achieved;
        const char* remaining;
    };
    const Row rows[] = {
        {4, 0, 0, false, "4h left"},
        {4, 3600, 0.25, false, "3h left"},
        {4, 4 * 3600, 1, true, "Goal reached"},
        {4, 5 * 3600, 1, true, "Goal reached"},
        {0, 100, 0, false, "0m left"},
    };
    for (const Row& row : rows) {
        RecordingPreferences prefs;
        GoalTracker goal(prefs);
        goal.setDailyGoalHours(row.goalHours);
        goal.setDeepWorkSecondsToday(row.deepSeconds);
        EXPECT_DOUBLE_EQ(goal.dailyProgress(), row.progress) << row.deepSeconds;
        EXPECT_EQ(goal.isGoalAchieved(), row.achieved) << row.deepSeconds;
        EXPECT_EQ(goal.remainingFormatted(), row.remaining) << row.deepSeconds;
    }
}

TEST(GoalTracker, GoalLabelWholeHoursWithoutDecimals)
{
    const std::pair<double, const char*> rows[] = {
        {3.0, "3h"}, {1.5, "1.5h"}, {4.0, "4h"}, {0.25, "0.2h"}};
    for (const auto& [hours, label] : rows) {
        RecordingPreferences prefs;
        GoalTracker goal(prefs);
        goal.setDailyGoalHours(hours);
        EXPECT_EQ(goal.goalHoursLabel(), label);
    }
}
