#include "ViewLogic/Rituals/PlanViews.h"
#include "ViewLogic/Rituals/ShutdownModel.h"

#include "core/Calendar.h"
#include "support/EngineRig.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

namespace kestrove {
namespace {

PlannedBlock block(std::string id, int minutes, std::optional<int> start = std::nullopt,
                   std::vector<std::string> apps = {"code"}, BlockMode mode = BlockMode::locked)
{
    return PlannedBlock(std::move(id), "  " + id + " task\n", minutes, std::nullopt, start,
                        std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::move(apps),
                        mode);
}

PlannedBlock ended(PlannedBlock b, std::optional<double> logged)
{
    b.startedAt = 100;
    b.endedAt = 200;
    b.actualOnTaskSeconds = logged;
    return b;
}

PlannedBlock running(PlannedBlock b)
{
    b.startedAt = 100;
    b.focusTaskID = "T";
    return b;
}

DayPlan submitted(std::vector<PlannedBlock> blocks)
{
    DayPlan plan = DayPlan::empty(Calendar::date(2026, 1, 5), Calendar::date(2026, 1, 5, 7));
    plan.completedAt = Calendar::date(2026, 1, 5, 7);
    plan.blocks = std::move(blocks);
    return plan;
}

TEST(PlanCardModel, SummaryAndWhichPlansCount)
{
    EXPECT_EQ(PlanCardModel::make(
                  submitted({block("A", 45), ended(block("B", 60), 3000), block("C", 30)}))
                  .summary(),
              "1/3 done · 2h 15m planned");
    EXPECT_EQ(PlanCardModel::make(submitted({block("A", 120)})).summary(), "0/1 done · 2h planned");
    EXPECT_EQ(PlanCardModel::make(submitted({running(block("A", 30))})).summary(),
              "0/1 done · 30m planned");

    DayPlan skipped = submitted({block("A", 60)});
    skipped.completedAt.reset();
    skipped.skippedAt = Calendar::date(2026, 1, 5, 9);
    for (const auto& none : {std::optional<DayPlan>(), std::optional<DayPlan>(skipped),
                             std::optional<DayPlan>(submitted({}))}) {
        const auto model = PlanCardModel::make(none);
        EXPECT_FALSE(model.plan);
        EXPECT_FALSE(model.summary());
        EXPECT_EQ(model.buttonTitle(), "Plan the day");
        EXPECT_TRUE(model.buttonProminent());
        EXPECT_TRUE(model.rows().empty());
    }
    const auto planned = PlanCardModel::make(
        submitted({block("A", 60, 840), block("B", 60), block("C", 60, 570), block("D", 60, 570)}));
    EXPECT_EQ(planned.buttonTitle(), "Edit");
    std::vector<std::string> order;
    for (const auto& row : planned.rows()) {
        order.push_back(row.id);
    }
    // Timed blocks by start, equal starts in plan order, then the untimed ones.
    EXPECT_EQ(order, (std::vector<std::string>{"C", "D", "A", "B"}));
}

TEST(PlanBlockRowModel, StatesSublinesAndControls)
{
    using S = PlanBlockRowModel::Subline;
    using C = PlanBlockRowModel::Control;
    PlannedBlock partial = block("A", 60, {}, {"code"});
    partial.actualOnTaskSeconds = 25 * 60;
    PlannedBlock brief = block("A", 60, {}, {"code"});
    brief.actualOnTaskSeconds = 40;
    struct Case
    {
        const char* name;
        PlannedBlock block;
        bool active;
        S subline;
        const char* sublineText;
        C control;
        const char* label; // the start title, the running word or the done time
    };
    const Case cases[] = {
        {"no apps", block("A", 60, {}, {}), false, S::needsApps, "no apps chosen yet", C::start,
         "Pick apps"},
        {"with apps", block("A", 60), false, S::none, "", C::start, "Lock in"},
        {"away", block("A", 60, {}, {}, BlockMode::away), false, S::away, "Away, nothing blocked",
         C::start, "Start"},
        {"away running", running(block("A", 60, {}, {}, BlockMode::away)), true, S::away,
         "Away, nothing blocked", C::running, "running"},
        {"stalled", running(block("A", 60)), false, S::none, "", C::running, "stalled"},
        {"reopened after 25m", partial, false, S::partial, "25m in, not finished", C::start,
         "Lock in"},
        {"reopened after 40s", brief, false, S::none, "", C::start, "Lock in"},
        {"done", ended(block("A", 60), 50 * 60), false, S::none, "", C::done, "50m"},
        {"done, nothing logged", ended(block("A", 60, {}, {}), std::nullopt), false, S::none, "",
         C::done, "0m"},
    };
    for (const Case& c : cases) {
        const PlanBlockRowModel model(c.block, c.active);
        EXPECT_EQ(model.subline(), c.subline) << c.name;
        EXPECT_EQ(model.sublineText(), c.sublineText) << c.name;
        EXPECT_EQ(model.control(), c.control) << c.name;
        const std::string label = c.control == C::start     ? model.startTitle()
                                  : c.control == C::running ? model.runningText()
                                                            : model.doneText();
        EXPECT_EQ(label, c.label) << c.name;
        EXPECT_EQ(model.startEnabled(), !c.active) << c.name;
    }
    const PlanBlockRowModel timed(block("Essay", 90, 570), false);
    EXPECT_EQ(timed.timeText(), "09:30");
    EXPECT_EQ(timed.title(), "Essay task");
    EXPECT_EQ(timed.lengthText(), "1h 30m");
    EXPECT_EQ(timed.pickerTitle(), "Which apps does \"Essay task\" need?");
    const PlanBlockRowModel untimed(block("A", 60), false);
    EXPECT_EQ(untimed.timeText(), "—");
    EXPECT_FALSE(untimed.hasTime());
}

TEST(PlanStripModel, NextBlockRunningBlockOrTheWayToTheEditor)
{
    const auto strip = [](std::vector<PlannedBlock> blocks, bool active = false) {
        return PlanStripModel::make(submitted(std::move(blocks)), active);
    };
    const auto next = strip({ended(block("A", 60, 480), 3600), block("B", 90, 570),
                             block("C", 45, 840, {}, BlockMode::away)});
    EXPECT_EQ(next.kind, PlanStripModel::Kind::next);
    EXPECT_EQ(next.title(), "B task");
    EXPECT_EQ(next.details(), "09:30 · 1h 30m");
    EXPECT_TRUE(next.showsButton());
    EXPECT_EQ(next.buttonTitle(), "Start");
    EXPECT_EQ(strip({block("C", 45, 840, {}, BlockMode::away)}).details(), "14:00 · 45m · away");
    EXPECT_EQ(strip({block("C", 45, 840, {}, BlockMode::away)}).symbol(), "figure.walk");
    EXPECT_EQ(strip({block("D", 45)}).details(), "45m");
    EXPECT_EQ(strip({block("D", 45, {}, {})}).buttonTitle(), "Pick apps");
    EXPECT_FALSE(strip({block("D", 45)}, true).showsButton());

    // The last block runs: the strip shows it, never "All blocks done".
    const auto busy = strip({ended(block("A", 60), 3600), running(block("B", 60))}, true);
    EXPECT_EQ(busy.kind, PlanStripModel::Kind::running);
    EXPECT_EQ(busy.title(), "B task");
    EXPECT_FALSE(busy.showsButton());

    const auto done = strip({ended(block("A", 60), 3600)});
    EXPECT_EQ(done.kind, PlanStripModel::Kind::link);
    EXPECT_EQ(done.linkText(), "All blocks done");
    DayPlan unsubmitted = submitted({block("A", 60)});
    unsubmitted.completedAt.reset();
    EXPECT_EQ(PlanStripModel::make(unsubmitted, false).linkText(), "Plan the day");
    EXPECT_EQ(PlanStripModel::make(std::nullopt, false).linkText(), "Plan the day");
}

struct PlanActionsTest : testing::Test
{
    PlanActionsTest()
    {
        rig.start();
        rig.prefs.setStringArray(AppAllowlistPresets::kLastUsedKey, {"gimp"});
        rig.presets.rememberLastUsed({"gimp", "code"});
        rig.engine->dayPlans().complete(
            submitted({block("A", 60, 570, {}), block("B", 45, 600, {"code"})}));
        rig.settle();
    }
    PlannedBlock stored(const std::string& id)
    {
        const auto plan = rig.engine->dayPlans().today();
        for (const auto& b : plan->blocks) {
            if (b.id == id) {
                return b;
            }
        }
        ADD_FAILURE() << id;
        return block(id, 1);
    }

    ScopedTimeZone zone{"Europe/Berlin"};
    EngineRig rig{Calendar::date(2026, 1, 5, 9)};
};

TEST_F(PlanActionsTest, ARefusedStartOffersTheLastUsedAppsAndTheirDoneStartsTheBlock)
{
    const auto refused = PlanActions::start(*rig.engine, stored("A"));
    EXPECT_FALSE(refused.started);
    EXPECT_EQ(refused.pickerSelection, (std::set<std::string>{"code", "gimp"}));
    EXPECT_FALSE(rig.engine->focusTaskManager().active());

    PlanActions::startWithApps(*rig.engine, stored("A"), {});
    EXPECT_FALSE(rig.engine->focusTaskManager().active()); // nothing picked: nothing starts

    PlanActions::startWithApps(*rig.engine, stored("A"), {"code"});
    rig.settle();
    ASSERT_TRUE(rig.engine->focusTaskManager().active());
    EXPECT_EQ(rig.engine->focusTaskManager().active()->name, "A task");
    EXPECT_EQ(stored("A").allowedBundleIDs, (std::vector<std::string>{"code"}));
    EXPECT_TRUE(stored("A").isRunning());
    // Another start while a task runs is refused.
    EXPECT_FALSE(PlanActions::start(*rig.engine, stored("B")).started);
}

TEST_F(PlanActionsTest, ReopeningARunningBlockEndsItsTaskAndKeepsItsTime)
{
    ASSERT_TRUE(PlanActions::start(*rig.engine, stored("B")).started);
    rig.show("code");
    rig.run(120);
    ASSERT_TRUE(stored("B").isRunning());
    PlanActions::reopen(*rig.engine, stored("B"));
    rig.settle();
    EXPECT_FALSE(rig.engine->focusTaskManager().active());
    const PlannedBlock reopened = stored("B");
    EXPECT_FALSE(reopened.isRunning());
    EXPECT_FALSE(reopened.isDone());
    EXPECT_FALSE(reopened.focusTaskID);
    EXPECT_GE(reopened.loggedSeconds(), 100);
    EXPECT_EQ(PlanStripModel::make(rig.engine->dayPlans().today(), false).title(), "A task");

    // A done block goes back in the queue with its time; no task is touched.
    ASSERT_TRUE(PlanActions::start(*rig.engine, stored("B")).started);
    rig.run(30);
    rig.engine->endFocusTask(FocusTask::EndReason::completed);
    rig.settle();
    ASSERT_TRUE(stored("B").isDone());
    PlanActions::start(*rig.engine, stored("A"));
    PlanActions::startWithApps(*rig.engine, stored("A"), {"code"});
    rig.settle();
    ASSERT_TRUE(rig.engine->focusTaskManager().active());
    PlanActions::reopen(*rig.engine, stored("B"));
    rig.settle();
    EXPECT_FALSE(stored("B").isDone());
    EXPECT_TRUE(rig.engine->focusTaskManager().active()); // A's task runs on
}

TEST(ShutdownModel, FiguresAndTheFirstSixProjects)
{
    const auto none = ShutdownModel::make(0, "4h", false, "4h left", {});
    EXPECT_EQ(none.deepTime, "0m");
    EXPECT_EQ(none.goalLine, "0m / 4h");
    EXPECT_EQ(none.remaining, "4h left");
    EXPECT_TRUE(none.projects.empty());

    std::vector<TimeShare> shares;
    for (int i = 0; i < 7; ++i) {
        shares.push_back({"P" + std::to_string(i), 600.0 * (8 - i), std::string("blue")});
    }
    shares.insert(shares.begin() + 1, {"Unassigned", 3000, std::string("teal")});
    const auto day = ShutdownModel::make(4 * 3600 + 300, "4h", true, "Goal reached", shares);
    EXPECT_EQ(day.deepTime, "4h 5m");
    EXPECT_EQ(day.remaining, "Achieved");
    ASSERT_EQ(day.projects.size(), 6u);
    EXPECT_EQ(day.projects[0], (ShutdownModel::ProjectRow{"P0", "blue", "1h 20m"}));
    EXPECT_EQ(day.projects[1], (ShutdownModel::ProjectRow{"Unassigned", std::nullopt, "50m"}));
    EXPECT_EQ(day.projects[5].name, "P4");
}

TEST(ShutdownModel, ASecondShutdownTheSameDayStartsFromTheTextWritten)
{
    ScopedTimeZone zone("Europe/Berlin");
    EngineRig rig(Calendar::date(2026, 1, 5, 18));
    rig.start();
    EXPECT_EQ(ShutdownModel::initialPlanText(*rig.engine), "");
    rig.engine->completeShutdown("\n  Parser first  \n");
    EXPECT_EQ(ShutdownModel::initialPlanText(*rig.engine), "Parser first");
    rig.engine->completeShutdown("   ");
    EXPECT_EQ(ShutdownModel::initialPlanText(*rig.engine), "");
    rig.engine->completeShutdown("Essay");
    rig.clock.set(Calendar::date(2026, 1, 6, 8));
    EXPECT_EQ(ShutdownModel::initialPlanText(*rig.engine), ""); // the next day starts afresh
    EXPECT_EQ(rig.engine->planForToday(), "Essay");
}

} // namespace
} // namespace kestrove
