#include "ViewLogic/Shell/StatusTitle.h"

#include <gtest/gtest.h>

#include <limits>

using namespace kestrove;

namespace {

FocusTask taskWithLeft(double secondsLeft)
{
    FocusTask task;
    task.estimatedSeconds = 3000;
    task.cumulativeOnTaskSeconds = 3000 - secondsLeft;
    return task;
}

} // namespace

TEST(StatusTitleTest, DeepTimeInMinutesThenHoursAndMinutes)
{
    const std::pair<double, const char*> cases[] = {
        {0, "0m"},      {59.9, "0m"},   {60, "1m"},
        {3599, "59m"},  {3600, "1:00"}, {4500, "1:15"},
        {7500, "2:05"}, {-5, "0m"},     {std::numeric_limits<double>::quiet_NaN(), "0m"},
    };
    for (const auto& [seconds, title] : cases) {
        StatusInputs inputs;
        inputs.liveDeepSecondsToday = seconds;
        EXPECT_EQ(statusTitle(inputs), title) << seconds;
    }
}

TEST(StatusTitleTest, ShutdownThenPauseThenTaskTakePrecedence)
{
    StatusInputs inputs;
    inputs.liveDeepSecondsToday = 7200;
    inputs.activeTask = taskWithLeft(600);
    EXPECT_EQ(statusTitle(inputs), "\U0001F512 10m");
    inputs.isPaused = true;
    EXPECT_EQ(statusTitle(inputs), "Paused");
    inputs.isShutdownComplete = true;
    EXPECT_EQ(statusTitle(inputs), "Shutdown");
}

TEST(StatusTitleTest, CountdownRoundsUpAndNeverGoesNegative)
{
    const std::pair<double, const char*> cases[] = {
        {59.2, "1m"},  {58.5, "0:59"}, {7, "0:07"}, {0.2, "0:01"}, {0, "0:00"},
        {-30, "0:00"}, {60, "1m"},     {61, "2m"},  {3600, "60m"}, {5400, "90m"},
    };
    for (const auto& [left, text] : cases) {
        EXPECT_EQ(menuBarCountdown(taskWithLeft(left)), text) << left;
    }
    EXPECT_EQ(menuBarCountdown(std::nullopt), "0:00");
}
