#pragma once

#include "core/ContextKind.h"
#include "core/Date.h"
#include "core/DaySummary.h"
#include "core/FocusBlockBuilder.h"
#include "core/FocusTask.h"
#include "core/ProjectRules.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrove {

class SessionEngine;

// "Idle", "Warming Up", "Building Focus", "Deep Work", "Peak Focus".
std::string phaseName(SessionPhase phase);
// "Deep work", "Shallow", "Distraction", "Neutral", "Idle".
std::string kindName(ContextKind kind);

// "Paused" without an end, else "Paused · 12:30 left" (never below 0:00).
std::string pausedLabel(const std::optional<Date>& pausedUntil, Date now);

// "Goal reached", else what is left of the goal: "1h 20m to 4h".
std::string goalLine(bool isGoalAchieved, double goalHours, double deepSecondsToday,
                     const std::string& goalHoursLabel);

// What the headline of the popover's now section is made of.
struct NowInputs
{
    bool isPaused = false;
    bool isAwayBlock = false;
    bool isIdle = false;
    ContextKind kind = ContextKind::neutral;
    double liveSessionSeconds = 0;
    SessionPhase phase = SessionPhase::idle;
    std::optional<double> distractionSecondsRemaining;
    std::optional<std::string> projectName;
    std::optional<std::string> detectedHint;
};

// "Paused", "Away block · counting", "Idle", or the phase and its time (or the break
// countdown, or the kind) followed by the project: "Building Focus · 23m 05s · Thesis".
std::string nowTitle(const NowInputs& inputs);

// How a running task is counted right now, in the popover and the floating display.
enum class TaskCounting
{
    onTask,
    paused
};
TaskCounting taskCounting(bool isAccumulating);
// "on task", "paused, idle" or "paused".
std::string lockInStateWord(bool isAccumulating, bool isIdle);
// The task's time left as a countdown ("12:30", "0:00" once used up), "—" without a task.
std::string lockInCountdown(const std::optional<FocusTask>& task);
// The part of the estimate used, for the bar under the countdown; none when the estimate is 0.
std::optional<double> lockInProgress(const FocusTask& task);

// One line of the popover's project list.
struct ProjectLine
{
    std::string name;
    std::optional<std::string> colorKey; // none for the unassigned bucket
    std::string time;
    bool isUnassigned = false;

    bool operator==(const ProjectLine&) const = default;
};
// The first four projects of today, in the summary's order.
std::vector<ProjectLine> projectLines(const std::vector<TimeShare>& byProject);

// The entries of the pin menu, top to bottom.
struct PinMenuEntry
{
    enum class Kind
    {
        project,    // pins the project, or unpins it when it is the pinned one
        noProjects, // a text, not a choice
        manage,     // opens the projects page
        divider,
        unpin
    };
    Kind kind = Kind::project;
    std::string label;
    std::string projectID;
    bool isChecked = false;

    bool operator==(const PinMenuEntry&) const = default;
};
std::vector<PinMenuEntry> pinMenuEntries(const std::vector<Project>& activeProjects,
                                         const std::optional<std::string>& pinnedProjectID);
// The pin menu's label: the pinned project's name, else "Working on…" (also for a pin whose
// project is archived or gone).
std::string pinMenuLabel(const std::optional<Project>& pinnedProject);
// What choosing a project in the pin menu pins: nothing when it is pinned already.
std::optional<std::string> pinChoice(const std::string& chosenID,
                                     const std::optional<std::string>& pinnedProjectID);

// The entries of the popover's more menu, top to bottom.
struct MoreMenuEntry
{
    enum class Kind
    {
        resume,
        pauseSubmenu, // "For 15 minutes", "For 1 hour", "Until I resume"
        divider,
        shutdownRitual,
        settings,
        quit
    };
    Kind kind;
    std::string label;

    bool operator==(const MoreMenuEntry&) const = default;
};
std::vector<MoreMenuEntry> moreMenuEntries(bool isPaused, bool isShutdownComplete);

// The pause submenu: its labels with the minutes each pauses for (none: until resumed).
struct PauseChoice
{
    std::string label;
    std::optional<std::int64_t> minutes;

    bool operator==(const PauseChoice&) const = default;
};
std::vector<PauseChoice> pauseChoices();

// The action row's buttons, leading first.
enum class PopoverAction
{
    dashboard,
    lockIn,
    share
};
std::vector<PopoverAction> popoverActions(bool hasActiveTask);

// The two-step end of a task from the popover. The question belongs to the task it was asked
// for: once that task ends or another takes its place, the buttons are back to "I finished".
class FinishConfirmation
{
public:
    // Whether "Confirm, I'm done" and "Cancel" show for the running task.
    bool isConfirming(const std::optional<FocusTask>& active) const;
    void ask(const std::optional<FocusTask>& active);
    void cancel() { m_taskID.reset(); }
    // Clears the question; returns whether it was asked for the running task, so that the
    // caller ends that task and no other.
    bool confirm(const std::optional<FocusTask>& active);

private:
    std::optional<std::string> m_taskID;
};

// Everything the popover shows, read from the engine once a second.
struct MenuBarContent
{
    std::string heroValue;
    std::string heroUnit;
    bool isPaused = false;
    std::string goalOrPauseLine; // the paused label while paused, else the goal line
    double goalProgress = 0;
    bool showFixPermission = false;

    ContextKind kind = ContextKind::neutral;
    std::string nowTitle;
    std::string explanation;
    bool isPinned = false;
    std::string pinLabel;

    bool hasTask = false;
    std::string taskName;
    TaskCounting taskState = TaskCounting::paused;
    std::string taskStateWord;
    std::string countdown;
    std::optional<double> taskProgress;

    std::vector<ProjectLine> projects;
    std::vector<PopoverAction> actions;

    bool operator==(const MenuBarContent&) const = default;
};
MenuBarContent menuBarContent(SessionEngine& engine);

} // namespace kestrove
