#include "ViewLogic/Shell/MenuBarModel.h"

#include "Engine/SessionEngine.h"
#include "Platform/Clock.h"
#include "core/Duration.h"

#include <algorithm>
#include <cmath>

namespace kestrove {

std::string phaseName(SessionPhase phase)
{
    switch (phase) {
    case SessionPhase::idle:
        return "Idle";
    case SessionPhase::warmingUp:
        return "Warming Up";
    case SessionPhase::buildingFocus:
        return "Building Focus";
    case SessionPhase::deepWork:
        return "Deep Work";
    case SessionPhase::peakFocus:
        return "Peak Focus";
    }
    return "Idle";
}

std::string kindName(ContextKind kind)
{
    return std::string(displayName(kind));
}

std::string pausedLabel(const std::optional<Date>& pausedUntil, Date now)
{
    if (!pausedUntil) {
        return "Paused";
    }
    return "Paused · " + DurationFormat::clock(std::max(0.0, *pausedUntil - now)) + " left";
}

std::string goalLine(bool isGoalAchieved, double goalHours, double deepSecondsToday,
                     const std::string& goalHoursLabel)
{
    if (isGoalAchieved) {
        return "Goal reached";
    }
    const double left = std::max(0.0, goalHours * 3600.0 - deepSecondsToday);
    return DurationFormat::hm(left) + " to " + goalHoursLabel;
}

std::string nowTitle(const NowInputs& inputs)
{
    if (inputs.isPaused) {
        return "Paused";
    }
    if (inputs.isAwayBlock) {
        return "Away block · counting";
    }
    if (inputs.isIdle) {
        return "Idle";
    }
    std::string title;
    if (inputs.kind == ContextKind::deep && inputs.liveSessionSeconds > 0) {
        title = phaseName(inputs.phase) + " · " + DurationFormat::live(inputs.liveSessionSeconds);
    } else if (inputs.distractionSecondsRemaining) {
        title = "Block breaks in " + DurationFormat::clock(*inputs.distractionSecondsRemaining);
    } else {
        title = kindName(inputs.kind);
    }
    if (inputs.projectName) {
        title += " · " + *inputs.projectName;
    } else if (inputs.detectedHint) {
        title += " · " + *inputs.detectedHint;
    }
    return title;
}

TaskCounting taskCounting(bool isAccumulating)
{
    return isAccumulating ? TaskCounting::onTask : TaskCounting::paused;
}

std::string lockInStateWord(bool isAccumulating, bool isIdle)
{
    if (isAccumulating) {
        return "on task";
    }
    return isIdle ? "paused, idle" : "paused";
}

std::string lockInCountdown(const std::optional<FocusTask>& task)
{
    if (!task) {
        return "\u2014";
    }
    return DurationFormat::clock(
        std::max(task->estimatedSeconds - task->cumulativeOnTaskSeconds, 0.0));
}

std::optional<double> lockInProgress(const FocusTask& task)
{
    if (!(task.estimatedSeconds > 0)) {
        return std::nullopt;
    }
    return task.cumulativeOnTaskSeconds / task.estimatedSeconds;
}

std::vector<ProjectLine> projectLines(const std::vector<TimeShare>& byProject)
{
    std::vector<ProjectLine> lines;
    for (const TimeShare& share : byProject) {
        if (lines.size() == 4) {
            break;
        }
        const bool unassigned = share.name == DaySummary::kUnassignedLabel;
        lines.push_back({share.name, unassigned ? std::nullopt : share.color,
                         DurationFormat::hm(share.seconds), unassigned});
    }
    return lines;
}

std::vector<PinMenuEntry> pinMenuEntries(const std::vector<Project>& activeProjects,
                                         const std::optional<std::string>& pinnedProjectID)
{
    using Kind = PinMenuEntry::Kind;
    std::vector<PinMenuEntry> entries;
    if (activeProjects.empty()) {
        entries.push_back({Kind::noProjects, "No projects yet", {}, false});
        entries.push_back({Kind::manage, "Manage projects…", {}, false});
        return entries;
    }
    for (const Project& project : activeProjects) {
        entries.push_back({Kind::project, project.name, project.id,
                           pinnedProjectID && *pinnedProjectID == project.id});
    }
    if (pinnedProjectID) {
        entries.push_back({Kind::divider, {}, {}, false});
        entries.push_back({Kind::unpin, "Unpin", {}, false});
    }
    return entries;
}

std::string pinMenuLabel(const std::optional<Project>& pinnedProject)
{
    return pinnedProject ? pinnedProject->name : "Working on…";
}

std::optional<std::string> pinChoice(const std::string& chosenID,
                                     const std::optional<std::string>& pinnedProjectID)
{
    if (pinnedProjectID && *pinnedProjectID == chosenID) {
        return std::nullopt;
    }
    return chosenID;
}

std::vector<MoreMenuEntry> moreMenuEntries(bool isPaused, bool isShutdownComplete)
{
    using Kind = MoreMenuEntry::Kind;
    std::vector<MoreMenuEntry> entries;
    if (isPaused) {
        entries.push_back({Kind::resume, "Resume tracking"});
    } else {
        entries.push_back({Kind::pauseSubmenu, "Pause tracking"});
    }
    entries.push_back({Kind::divider, {}});
    if (!isShutdownComplete) {
        entries.push_back({Kind::shutdownRitual, "Shutdown ritual…"});
    }
    entries.push_back({Kind::settings, "Settings…"});
    entries.push_back({Kind::divider, {}});
    entries.push_back({Kind::quit, "Quit Kestrove"});
    return entries;
}

std::vector<PauseChoice> pauseChoices()
{
    return {{"For 15 minutes", 15}, {"For 1 hour", 60}, {"Until I resume", std::nullopt}};
}

std::vector<PopoverAction> popoverActions(bool hasActiveTask)
{
    if (hasActiveTask) {
        return {PopoverAction::dashboard, PopoverAction::share};
    }
    return {PopoverAction::dashboard, PopoverAction::lockIn, PopoverAction::share};
}

bool FinishConfirmation::isConfirming(const std::optional<FocusTask>& active) const
{
    return m_taskID && active && active->id == *m_taskID;
}

void FinishConfirmation::ask(const std::optional<FocusTask>& active)
{
    if (active) {
        m_taskID = active->id;
    }
}

bool FinishConfirmation::confirm(const std::optional<FocusTask>& active)
{
    const bool forRunningTask = isConfirming(active);
    m_taskID.reset();
    return forRunningTask;
}

MenuBarContent menuBarContent(SessionEngine& engine)
{
    const Date now = engine.clock().now();
    const Tracker& tracker = engine.tracker();
    const GoalTracker& goal = engine.goal();
    MenuBarContent content;

    const auto hero = DurationFormat::hero(engine.liveDeepSecondsToday());
    content.heroValue = hero.value;
    content.heroUnit = hero.unit;
    content.isPaused = tracker.isPaused();
    content.goalOrPauseLine = content.isPaused
                                  ? pausedLabel(tracker.pausedUntil(), now)
                                  : goalLine(goal.isGoalAchieved(), goal.dailyGoalHours(),
                                             goal.deepWorkSecondsToday(), goal.goalHoursLabel());
    content.goalProgress = goal.dailyProgress();
    content.showFixPermission = !engine.permissions().hasAccessibility();

    NowInputs inputs;
    inputs.isPaused = content.isPaused;
    inputs.isAwayBlock = engine.isAwayBlock();
    inputs.isIdle = tracker.isIdle();
    inputs.kind = tracker.kind();
    inputs.liveSessionSeconds = engine.liveSessionSeconds();
    inputs.phase = engine.sessionPhase();
    inputs.distractionSecondsRemaining = engine.distractionSecondsRemaining();
    if (tracker.project()) {
        inputs.projectName = tracker.project()->name;
    }
    inputs.detectedHint = tracker.detectedHint();
    content.kind = tracker.kind();
    content.nowTitle = nowTitle(inputs);
    content.explanation = engine.currentExplanation();
    content.isPinned = engine.projects().pinnedProjectID().has_value();
    content.pinLabel = pinMenuLabel(engine.projects().pinnedProject());

    const FocusTaskManager& tasks = engine.focusTaskManager();
    if (const auto& task = tasks.active()) {
        content.hasTask = true;
        content.taskName = task->name;
        content.taskState = taskCounting(tasks.isAccumulating());
        content.taskStateWord = lockInStateWord(tasks.isAccumulating(), tracker.isIdle());
        content.countdown = lockInCountdown(task);
        content.taskProgress = lockInProgress(*task);
    }
    content.projects = projectLines(engine.today().byProject);
    content.actions = popoverActions(content.hasTask);
    return content;
}

} // namespace kestrove
