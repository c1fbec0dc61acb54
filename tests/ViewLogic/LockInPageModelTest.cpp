#include "ViewLogic/Focus/LockInPageModel.h"
#include "core/Calendar.h"
#include "core/Uuid.h"
#include "support/EngineRig.h"
#include "support/LogCapture.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

namespace kestrove {
namespace {

const Date kNow = Calendar::date(2026, 3, 5, 16, 0);

FocusTask pastTask(Date start, std::optional<FocusTask::EndReason> reason, bool lockdown = true)
{
    FocusTask task;
    task.id = Uuid::generate();
    task.name = "Task at " + std::to_string(static_cast<long long>(start));
    task.estimatedSeconds = 1800;
    task.cumulativeOnTaskSeconds = 1200;
    task.startedAt = start;
    task.endedAt = start + 1500;
    task.endedReason = reason;
    task.isLockdown = lockdown;
    return task;
}

void insert(EngineRig& rig, const FocusTask& task, int blocks = 0)
{
    rig.engine->database().run([task, blocks](Database& db) {
        db.insertFocusTask(task, task.endedReason == FocusTask::EndReason::completed);
        for (int i = 0; i < blocks; ++i) {
            db.recordLockdownBlock(task.id, task.startedAt + 60 + i, "com.slack.slack");
        }
    });
}

TEST(LockInPageModelTest, OutcomesOfEveryEnding)
{
    using Tone = SessionOutcome::Tone;
    const struct
    {
        std::optional<std::string> reason;
        bool completed;
        SessionOutcome outcome;
    } cases[] = {
        {"completed", false, {"finished", Tone::success}},
        {"brokeOut", true, {"broke out", Tone::distraction}},
        {"crashed", false, {"interrupted", Tone::quiet}},
        {"Completed", false, {"ended", Tone::quiet}},
        {std::nullopt, true, {"finished", Tone::quiet}},
        {std::nullopt, false, {"ended", Tone::quiet}},
    };
    for (const auto& c : cases) {
        FocusSessionEntry entry;
        entry.endedReason = c.reason;
        entry.completed = c.completed;
        EXPECT_EQ(LockInPageModel::outcome(entry), c.outcome) << c.reason.value_or("none");
    }
}

TEST(LockInPageModelTest, DetailLineAndChips)
{
    const ScopedTimeZone zone("Europe/Berlin");
    FocusSessionEntry entry;
    entry.startedAt = Calendar::date(2026, 3, 5, 9, 41);
    entry.onTaskSeconds = 3900;
    entry.estimatedSeconds = 5400;
    EXPECT_EQ(LockInPageModel::detailLine(entry, "en_US"),
              "Mar 5 \u00B7 9:41\u202FAM \u00B7 1h 5m on task of 1h 30m");

    EXPECT_TRUE(LockInPageModel::chipsFor(std::nullopt).empty());
    EXPECT_TRUE(LockInPageModel::chipsFor(LockdownStats{0, 0, 4, 0}).empty());
    EXPECT_EQ(LockInPageModel::chipsFor(LockdownStats{3, 5400, 7, 1.0 / 3}),
              (std::vector<LockInChip>{{"lockdowns today", "3"},
                                       {"locked time", "1h 30m"},
                                       {"blocked attempts", "7"},
                                       {"finished", "33%"}}));
}

TEST(LockInPageModelTest, ReadsTodaysFiguresAndTheLatestTwentyTasks)
{
    EngineRig rig(kNow);
    rig.start();
    LockInPageModel model(*rig.engine);
    rig.settle();
    EXPECT_TRUE(model.isLoaded());
    EXPECT_TRUE(model.recent().empty());
    EXPECT_TRUE(model.chips().empty());
    EXPECT_EQ(model.emptyText(), "No sessions yet.");

    // Yesterday's tasks fill the list but not today's figures.
    for (int i = 0; i < 22; ++i) {
        insert(rig, pastTask(kNow - 86400 - 3600 * (i + 1), FocusTask::EndReason::completed));
    }
    insert(rig, pastTask(kNow - 3 * 3600, FocusTask::EndReason::completed), 2);
    insert(rig, pastTask(kNow - 2 * 3600, FocusTask::EndReason::brokeOut), 1);
    insert(rig, pastTask(kNow - 1 * 3600, std::nullopt));
    insert(rig, pastTask(kNow - 1800, FocusTask::EndReason::completed, false));
    model.load();
    rig.settle();

    ASSERT_EQ(model.recent().size(), 20u);
    EXPECT_EQ(model.recent().front().startedAt, kNow - 1800);
    EXPECT_EQ(model.recent()[1].startedAt, kNow - 3600);
    EXPECT_EQ(model.recent().back().startedAt, kNow - 86400 - 3600 * 16);
    EXPECT_EQ(model.chips(), LockInPageModel::chipsFor(LockdownStats{3, 3600, 3, 1.0 / 3}));
}

TEST(LockInPageModelTest, ATaskThatEndsShowsAtTheTopWithoutAsking)
{
    EngineRig rig(kNow);
    rig.start();
    LockInPageModel model(*rig.engine);
    rig.settle();
    FocusTask task = pastTask(kNow, std::nullopt);
    task.allowedBundleIDs = {"a.b"};
    rig.engine->startFocusTask(task);
    rig.run(30);
    rig.engine->endFocusTask(FocusTask::EndReason::completed);
    rig.settle();
    ASSERT_EQ(model.recent().size(), 1u);
    EXPECT_EQ(LockInPageModel::outcome(model.recent()[0]).word, "finished");
    EXPECT_EQ(model.chips().front(), (LockInChip{"lockdowns today", "1"}));
}

TEST(LockInPageModelTest, OnlyTheNewestOfOverlappingReadsIsShown)
{
    EngineRig rig(kNow);
    rig.start();
    LockInPageModel model(*rig.engine);
    rig.settle();
    int shown = 0;
    const auto subscription = model.observers().subscribe([&] { ++shown; });

    model.load();
    insert(rig, pastTask(kNow - 600, FocusTask::EndReason::completed));
    model.load();
    rig.settle();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(model.recent().size(), 1u);
}

TEST(LockInPageModelTest, AFailedReadIsLoggedAndSaysSo)
{
    TemporaryFolder folder;
    folder.write("file", "not a folder");
    EngineRig rig(kNow, folder.path + "/file/kestrove.db");
    const LogCapture log;
    rig.start();
    LockInPageModel model(*rig.engine);
    rig.settle();
    EXPECT_TRUE(model.isLoaded());
    EXPECT_TRUE(model.recent().empty());
    EXPECT_TRUE(model.chips().empty());
    EXPECT_EQ(model.emptyText(), "Past sessions could not be read.");
    EXPECT_TRUE(log.contains("lock-in history read error"));
}

} // namespace
} // namespace kestrove

namespace kestrove {
namespace {

TEST(LockInPageModelTest, APageOpenedWhileTheEngineStartsReadsOnceItHasStarted)
{
    EngineRig rig(kNow);
    const LogCapture log;
    LockInPageModel model(*rig.engine);
    rig.settle();
    EXPECT_FALSE(model.isLoaded());
    rig.engine->start();
    rig.settle();
    EXPECT_TRUE(model.isLoaded());
    EXPECT_EQ(model.emptyText(), "No sessions yet.");
    EXPECT_FALSE(log.contains("read error"));
}

} // namespace
} // namespace kestrove
