#pragma once

#include "core/DayPlan.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kestrove {

class SessionEngine;

// The plan card on the today page: today's submitted plan with its blocks, or an invitation.
struct PlanCardModel
{
    // Only a submitted plan with blocks counts; a skipped day looks like a day without a plan.
    static PlanCardModel make(const std::optional<DayPlan>& today);

    std::optional<DayPlan> plan;

    // "1/3 done · 2h 15m planned"; nothing without a plan.
    std::optional<std::string> summary() const;
    std::string buttonTitle() const { return plan ? "Edit" : "Plan the day"; }
    bool buttonProminent() const { return !plan; }
    std::vector<PlannedBlock> rows() const;

    static constexpr const char* kTitle = "Today's deep work";
    static constexpr const char* kEmptyTitle = "No blocks planned today.";
    static constexpr const char* kEmptyDetail =
        "Decide when the deep work happens before the day decides for you. Tracking runs "
        "either way.";
};

// One planned block on the card.
struct PlanBlockRowModel
{
    enum class Subline
    {
        none,
        away,     // "Away, nothing blocked"
        partial,  // "25m in, not finished"
        needsApps // "no apps chosen yet"
    };
    enum class Control
    {
        done,    // a check mark with the logged time, and a menu to put it back
        running, // "running" or "stalled", and a menu to put it back
        start    // a button: "Start", "Lock in" or "Pick apps"
    };

    PlanBlockRowModel(PlannedBlock block, bool focusTaskActive);

    PlannedBlock block;
    bool focusTaskActive;

    // "09:30", or an em dash.
    std::string timeText() const;
    bool hasTime() const { return block.timeLabel().has_value(); }
    std::string title() const;
    bool isDone() const { return block.isDone(); }
    Subline subline() const;
    std::string sublineText() const;
    std::string lengthText() const;
    Control control() const;
    // The check mark's time.
    std::string doneText() const;
    static constexpr const char* kDoneToolTip = "Finished. Click to put it back in the queue.";
    static constexpr const char* kDoneMenuItem = "I did not finish this";
    // "running" while any focus task runs, "stalled" otherwise.
    std::string runningText() const { return focusTaskActive ? "running" : "stalled"; }
    static constexpr const char* kRunningMenuItem = "Put it back in the queue";
    std::string startTitle() const;
    bool startEnabled() const { return !focusTaskActive; }
    // "Which apps does "Essay" need?"
    std::string pickerTitle() const;
};

// The popover's one line on the plan: the next block to start, or a way to the editor.
struct PlanStripModel
{
    enum class Kind
    {
        next,    // the next waiting block, with a start button while no task runs
        running, // every remaining block runs: the running one, without a button
        link     // "All blocks done" or "Plan the day", opening the editor
    };

    static PlanStripModel make(const std::optional<DayPlan>& today, bool focusTaskActive);

    Kind kind = Kind::link;
    std::optional<PlannedBlock> block;
    bool focusTaskActive = false;
    bool allDone = false;

    std::string title() const;
    // "09:30 · 1h 30m", "14:00 · 45m · away", "45m".
    std::string details() const;
    bool showsButton() const { return kind == Kind::next && !focusTaskActive; }
    std::string buttonTitle() const;
    // The symbol before the block: the walker for an away block, else the waves.
    std::string symbol() const;
    std::string linkText() const { return allDone ? "All blocks done" : "Plan the day"; }
};

// What starting and reopening a planned block do, for the card's rows and the strip.
namespace PlanActions {

struct StartOutcome
{
    bool started = false;
    // When refused: the applications the picker starts with.
    std::set<std::string> pickerSelection;
};

// Starts the block as a focus task; a refused start (no apps, or no task) says what the
// picker should show.
StartOutcome start(SessionEngine& engine, const PlannedBlock& block);
// The picker's Done: stores the apps and starts the block; nothing for an empty selection.
void startWithApps(SessionEngine& engine, const PlannedBlock& block,
                   const std::set<std::string>& apps);
// Puts a block back in the queue. A block whose focus task still runs has that task ended
// first (its time is kept on the block), so no task runs on for a block that says it waits.
void reopen(SessionEngine& engine, const PlannedBlock& block);

} // namespace PlanActions
} // namespace kestrove
