#include "ViewLogic/Shell/DashboardRootModel.h"
#include "support/EngineRig.h"

#include <gtest/gtest.h>

using namespace kestrove;

TEST(DashboardRootModelTest, TheLockInEntryShowsTheRunningTasksTimeLeft)
{
    FocusTask task;
    task.estimatedSeconds = 25 * 60;
    task.cumulativeOnTaskSeconds = 10 * 60 + 30;
    const auto entries = sidebarEntries(DashboardSection::week, task);
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[3].title, "Lock in");
    EXPECT_EQ(entries[3].trailing, "14:30");
    EXPECT_TRUE(entries[1].isSelected);
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(), [](auto& e) { return e.isSelected; }),
              1);
    for (const auto& entry : entries) {
        if (entry.section != DashboardSection::lockIn) {
            EXPECT_EQ(entry.trailing, std::nullopt) << entry.title;
        }
    }

    task.cumulativeOnTaskSeconds = 30 * 60;
    EXPECT_EQ(sidebarEntries(DashboardSection::today, task)[3].trailing, "0:00");
    EXPECT_EQ(sidebarEntries(DashboardSection::today, std::nullopt)[3].trailing, std::nullopt);
}

TEST(DashboardRootModelTest, TheFooterShowsIdleAndTheGoal)
{
    EngineRig rig(800000000.0);
    rig.start();
    rig.input.seconds = 600; // past the idle threshold
    rig.run(2);
    auto footer = dashboardFooter(*rig.engine);
    EXPECT_EQ(footer.activity, "Idle");
    EXPECT_EQ(footer.kind, ContextKind::idle);
    EXPECT_EQ(footer.deepToday, "0m");
    EXPECT_EQ(footer.goal, "/ 4h");
    EXPECT_EQ(footer.progress, 0.0);

    rig.engine->goal().setDailyGoalHours(4.5);
    rig.input.seconds = 0;
    rig.show("com.example.editor", "notes");
    rig.run(2);
    footer = dashboardFooter(*rig.engine);
    EXPECT_EQ(footer.goal, "/ 4.5h");
    EXPECT_EQ(footer.activity, "com.example.editor");
}
