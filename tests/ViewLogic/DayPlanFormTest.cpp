#include "ViewLogic/Rituals/DayPlanForm.h"

#include "core/Calendar.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

namespace kestrove {
namespace {

PlannedBlock block(std::string id, std::string task, int minutes,
                   std::vector<std::string> apps = {}, BlockMode mode = BlockMode::locked)
{
    return PlannedBlock(std::move(id), std::move(task), minutes, std::nullopt, std::nullopt,
                        std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::move(apps),
                        mode);
}

DayPlan planWith(std::vector<PlannedBlock> blocks)
{
    DayPlan plan = DayPlan::empty(Calendar::date(2026, 1, 5), Calendar::date(2026, 1, 5, 7));
    plan.context = "Launch week";
    plan.urgent = {"Invoice"};
    plan.blocks = std::move(blocks);
    return plan;
}

struct DayPlanFormTest : testing::Test
{
    ScopedTimeZone zone{"Europe/Berlin"};
    const std::vector<std::string> lastUsed{"code", "firefox"};
};

TEST_F(DayPlanFormTest, AnEmptyPlanStartsWithOneBlockAndWaitsForATask)
{
    DayPlanForm form(planWith({}), true, lastUsed);
    form.appeared();
    ASSERT_EQ(form.plan().blocks.size(), 1u);
    const PlannedBlock& first = form.plan().blocks[0];
    EXPECT_EQ(first.minutes, 90);
    EXPECT_EQ(first.mode, BlockMode::locked);
    EXPECT_EQ(first.allowedBundleIDs, lastUsed);
    EXPECT_FALSE(first.startMinuteOfDay);
    EXPECT_FALSE(form.isSubmittable());
    EXPECT_EQ(form.missingLine(), "Still missing: at least one deep work block.");
    EXPECT_FALSE(form.plannedTotalText());

    form.setTask(first.id, " \n ");
    EXPECT_FALSE(form.isSubmittable()); // blank is empty
    EXPECT_FALSE(form.plannedTotalText());
    form.setTask(first.id, "Parser");
    EXPECT_TRUE(form.isSubmittable());
    EXPECT_FALSE(form.missingLine());
    EXPECT_EQ(form.plannedTotalText(), "1h 30m");

    // Removing the last block leaves the card empty; showing again adds nothing back.
    form.removeBlock(first.id);
    form.appeared();
    EXPECT_TRUE(form.plan().blocks.empty());
    EXPECT_EQ(form.missingLine(), "Still missing: at least one deep work block.");
}

TEST_F(DayPlanFormTest, SubmitKeepsNamedBlocksInOrderAndEveryOtherFieldAsItCame)
{
    const DayPlan initial = planWith(
        {block("A", "Essay", 60), block("B", "", 45), block("C", "Parser", 120, {"code"})});
    DayPlanForm form(initial, false, lastUsed);
    form.appeared();
    const DayPlan sent = form.assembled();
    ASSERT_EQ(sent.blocks.size(), 2u);
    EXPECT_EQ(sent.blocks[0].id, "A");
    EXPECT_EQ(sent.blocks[1].id, "C");
    DayPlan expected = initial;
    expected.blocks = {initial.blocks[0], initial.blocks[2]};
    EXPECT_EQ(sent, expected);
    EXPECT_EQ(form.plannedTotalText(), "3h");
}

TEST_F(DayPlanFormTest, LengthsOutsideFiveToFourHundredEightyKeepThePlanBack)
{
    DayPlanForm form(planWith({block("A", "Essay", 500)}), true, lastUsed);
    EXPECT_EQ(form.missingLine(),
              "Still missing: a length between 5 and 480 minutes on every block.");
    form.setMinutes("A", 180);
    EXPECT_TRUE(form.isSubmittable());
    form.setMinutes("A", 4);
    EXPECT_FALSE(form.isSubmittable());
    form.setMinutes("nope", 90); // an unknown id changes nothing
    EXPECT_FALSE(form.isSubmittable());
}

TEST_F(DayPlanFormTest, NewBlocksTakeTheLastModeAndTheLastLockedApps)
{
    struct Case
    {
        const char* name;
        std::vector<PlannedBlock> blocks;
        std::vector<std::string> lastUsed;
        BlockMode mode;
        std::vector<std::string> apps;
    };
    const Case cases[] = {
        {"after away",
         {block("A", "x", 60, {"code"}), block("B", "y", 60, {}, BlockMode::away)},
         lastUsed,
         BlockMode::away,
         {"code"}},
        {"away with apps is no source",
         {block("A", "x", 60, {"code"}), block("B", "y", 60, {"zoom"}, BlockMode::away)},
         lastUsed,
         BlockMode::away,
         {"code"}},
        {"no locked apps",
         {block("A", "x", 60, {}, BlockMode::away)},
         lastUsed,
         BlockMode::away,
         lastUsed},
        {"nothing anywhere", {block("A", "x", 60)}, {}, BlockMode::locked, {}},
        {"latest locked wins",
         {block("A", "x", 60, {"code"}), block("B", "y", 60, {"gimp"})},
         lastUsed,
         BlockMode::locked,
         {"gimp"}},
    };
    for (const Case& c : cases) {
        DayPlanForm form(planWith(c.blocks), true, c.lastUsed);
        const std::string id = form.addBlock(45);
        const PlannedBlock* added = form.block(id);
        ASSERT_TRUE(added) << c.name;
        EXPECT_EQ(form.plan().blocks.back().id, id) << c.name;
        EXPECT_EQ(added->mode, c.mode) << c.name;
        EXPECT_EQ(added->allowedBundleIDs, c.apps) << c.name;
        EXPECT_EQ(added->minutes, 45) << c.name;
        EXPECT_TRUE(added->task.empty()) << c.name;
        EXPECT_FALSE(added->serves) << c.name;
    }
}

TEST_F(DayPlanFormTest, TextsOfTheWallAndOfTheEditor)
{
    const DayPlanForm wall(planWith({}), true, {});
    const DayPlanForm editor(planWith({}), false, {});
    EXPECT_EQ(DayPlanForm::formattedDay(Calendar::date(2026, 1, 5)), "Monday, Jan 5");
    EXPECT_EQ(wall.headerLine("Monday, Jan 5"),
              "Monday, Jan 5. Nothing else opens until the day has at least one block in it.");
    EXPECT_EQ(editor.headerLine("Monday, Jan 5"), "Monday, Jan 5. Change it as the day changes.");
    EXPECT_EQ(wall.eyebrow(), "Before the day starts");
    EXPECT_EQ(editor.eyebrow(), "Today's deep work");
    EXPECT_EQ(wall.submitTitle(), "Start the day");
    EXPECT_EQ(editor.submitTitle(), "Save changes");
    EXPECT_EQ(wall.closeTitle(), "Close preview");
    EXPECT_EQ(editor.closeTitle(), "Close");
    EXPECT_EQ(wall.topPadding(), 72);
    EXPECT_EQ(editor.closeTopPadding(), 16);
}

TEST(BlockEditorRowModel, LabelsWarningsAndMenus)
{
    using namespace BlockEditorRowModel;
    struct Case
    {
        PlannedBlock block;
        bool needsApps;
        const char* appsLabel;
    };
    const Case cases[] = {
        {block("A", "", 60), false, "Pick apps"},                          // no task yet
        {block("A", "Essay", 60), true, "Pick apps"},                      // named, no apps
        {block("A", "Essay", 60, {"code"}), false, "1 app"},               //
        {block("A", "Essay", 60, {"a", "b", "c"}), false, "3 apps"},       //
        {block("A", "Essay", 60, {}, BlockMode::away), false, "Pick apps"} // away never needs
    };
    for (const Case& c : cases) {
        EXPECT_EQ(needsApps(c.block), c.needsApps) << c.block.task << c.appsLabel;
        EXPECT_EQ(appsLabel(c.block), c.appsLabel);
    }
    EXPECT_EQ(minutesLabel(block("A", "", 75)), "75m");
    const auto minutes = minutesMenu();
    ASSERT_EQ(minutes.size(), 6u);
    EXPECT_EQ(minutes.front(), (MenuItem{"25 minutes", 25}));
    EXPECT_EQ(minutes.back(), (MenuItem{"180 minutes", 180}));

    const auto times = timeMenu();
    ASSERT_EQ(times.size(), 36u);
    EXPECT_EQ(times[0], (MenuItem{"No time", std::nullopt}));
    EXPECT_EQ(times[1], (MenuItem{"05:00", 300}));
    EXPECT_EQ(times[18], (MenuItem{"13:30", 810}));
    EXPECT_EQ(times[35], (MenuItem{"22:00", 1320}));
    PlannedBlock timed = block("A", "", 60);
    EXPECT_EQ(timeLabel(timed), "No time");
    timed.startMinuteOfDay = 810;
    EXPECT_EQ(timeLabel(timed), "13:30");
    timed.startMinuteOfDay = 1440; // outside the day
    EXPECT_EQ(timeLabel(timed), "No time");

    EXPECT_EQ(pickerSelection(block("A", "x", 60), {"code", "gimp"}),
              (std::set<std::string>{"code", "gimp"}));
    EXPECT_EQ(pickerSelection(block("A", "x", 60, {"zoom"}), {"code"}),
              (std::set<std::string>{"zoom"}));
    EXPECT_EQ(modeToolTip(BlockMode::away),
              "Nothing is blocked and the clock keeps running while you are away from the "
              "computer. For filming, calls, thinking.");
}

} // namespace
} // namespace kestrove
