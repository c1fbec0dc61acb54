#include "ViewLogic/Rituals/PlanViews.h"

#include "Engine/AppAllowlistPresets.h"
#include "Engine/SessionEngine.h"
#include "ViewLogic/Rituals/DayPlanForm.h"
#include "core/Duration.h"
#include "core/NumberFormat.h"
#include "core/Text.h"

#include <algorithm>

namespace kestrove {

PlanCardModel PlanCardModel::make(const std::optional<DayPlan>& today)
{
    PlanCardModel model;
    if (today && today->isComplete() && !today->blocks.empty()) {
        model.plan = today;
    }
    return model;
}

std::optional<std::string> PlanCardModel::summary() const
{
    if (!plan) {
        return std::nullopt;
    }
    return NumberFormat::integer(plan->doneBlockCount()) + "/" +
           NumberFormat::integer(static_cast<std::int64_t>(plan->blocks.size())) + " done · " +
           DurationFormat::hm(plan->plannedDeepSeconds()) + " planned";
}

std::vector<PlannedBlock> PlanCardModel::rows() const
{
    return plan ? plan->orderedBlocks() : std::vector<PlannedBlock>{};
}

PlanBlockRowModel::PlanBlockRowModel(PlannedBlock block, bool focusTaskActive)
    : block(std::move(block)), focusTaskActive(focusTaskActive)
{}

std::string PlanBlockRowModel::timeText() const
{
    return block.timeLabel().value_or("—");
}

std::string PlanBlockRowModel::title() const
{
    return Text::trimmed(block.task);
}

PlanBlockRowModel::Subline PlanBlockRowModel::subline() const
{
    if (block.isAway()) {
        return Subline::away;
    }
    if (block.hasPartialProgress()) {
        return Subline::partial;
    }
    if (!block.hasApps() && !block.isDone()) {
        return Subline::needsApps;
    }
    return Subline::none;
}

std::string PlanBlockRowModel::sublineText() const
{
    switch (subline()) {
    case Subline::away:
        return "Away, nothing blocked";
    case Subline::partial:
        return DurationFormat::hm(block.loggedSeconds()) + " in, not finished";
    case Subline::needsApps:
        return "no apps chosen yet";
    case Subline::none:
        break;
    }
    return {};
}

std::string PlanBlockRowModel::lengthText() const
{
    return DurationFormat::hm(block.seconds());
}

PlanBlockRowModel::Control PlanBlockRowModel::control() const
{
    if (block.isDone()) {
        return Control::done;
    }
    return block.isRunning() ? Control::running : Control::start;
}

std::string PlanBlockRowModel::doneText() const
{
    return DurationFormat::hm(block.loggedSeconds());
}

std::string PlanBlockRowModel::startTitle() const
{
    if (block.isAway()) {
        return "Start";
    }
    return block.hasApps() ? "Lock in" : "Pick apps";
}

std::string PlanBlockRowModel::pickerTitle() const
{
    return "Which apps does \"" + title() + "\" need?";
}

PlanStripModel PlanStripModel::make(const std::optional<DayPlan>& today, bool focusTaskActive)
{
    PlanStripModel model;
    model.focusTaskActive = focusTaskActive;
    if (!today || !today->isComplete()) {
        return model;
    }
    if (auto next = today->nextBlock()) {
        model.kind = Kind::next;
        model.block = std::move(next);
        return model;
    }
    // Nothing waits, but a block that still runs is not done.
    const auto blocks = today->orderedBlocks();
    const auto running =
        std::find_if(blocks.begin(), blocks.end(), [](const auto& b) { return b.isRunning(); });
    if (running != blocks.end()) {
        model.kind = Kind::running;
        model.block = *running;
        return model;
    }
    model.allDone = true;
    return model;
}

std::string PlanStripModel::title() const
{
    return block ? Text::trimmed(block->task) : std::string();
}

std::string PlanStripModel::details() const
{
    if (!block) {
        return {};
    }
    std::vector<std::string> parts;
    if (auto time = block->timeLabel()) {
        parts.push_back(*time);
    }
    parts.push_back(DurationFormat::hm(block->seconds()));
    if (block->isAway()) {
        parts.emplace_back("away");
    }
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        text += (i ? " · " : "") + parts[i];
    }
    return text;
}

std::string PlanStripModel::buttonTitle() const
{
    return block && block->hasApps() ? "Start" : "Pick apps";
}

std::string PlanStripModel::symbol() const
{
    return block && block->isAway() ? "figure.walk" : "water.waves";
}

namespace PlanActions {

StartOutcome start(SessionEngine& engine, const PlannedBlock& block)
{
    if (engine.startPlannedBlock(block)) {
        return {true, {}};
    }
    return {false,
            BlockEditorRowModel::pickerSelection(block, engine.allowlistPresets().lastUsed())};
}

void startWithApps(SessionEngine& engine, const PlannedBlock& block,
                   const std::set<std::string>& apps)
{
    engine.startPlannedBlock(block, std::vector<std::string>(apps.begin(), apps.end()));
}

void reopen(SessionEngine& engine, const PlannedBlock& block)
{
    const auto& active = engine.focusTaskManager().active();
    if (block.isRunning() && active && block.focusTaskID == active->id) {
        // Ending the task settles the block (its on-task time kept) before it is reopened.
        engine.endFocusTask(FocusTask::EndReason::brokeOut,
                            [&engine, id = block.id] { engine.dayPlans().reopenBlock(id); });
        return;
    }
    engine.dayPlans().reopenBlock(block.id);
}

} // namespace PlanActions
} // namespace kestrove
