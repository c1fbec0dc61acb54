#include "ViewLogic/Shell/DashboardRootModel.h"

#include "Engine/SessionEngine.h"
#include "core/Duration.h"

#include <algorithm>

namespace kestrove {

namespace {

struct EntryText
{
    DashboardSection section;
    const char* title;
    const char* symbol;
};

constexpr EntryText kEntries[] = {
    {DashboardSection::today, "Today", "circle.lefthalf.filled"},
    {DashboardSection::week, "Week", "chart.bar.fill"},
    {DashboardSection::projects, "Projects", "square.grid.2x2.fill"},
    {DashboardSection::lockIn, "Lock in", "lock.fill"},
    {DashboardSection::settings, "Settings", "slider.horizontal.3"},
};

} // namespace

std::vector<SidebarEntry> sidebarEntries(DashboardSection selected,
                                         const std::optional<FocusTask>& activeTask)
{
    std::vector<SidebarEntry> entries;
    for (const EntryText& text : kEntries) {
        SidebarEntry entry{text.section, text.title, text.symbol, text.section == selected, {}};
        if (text.section == DashboardSection::lockIn && activeTask) {
            const double left = activeTask->estimatedSeconds - activeTask->cumulativeOnTaskSeconds;
            entry.trailing = DurationFormat::clock(std::max(0.0, left));
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

DashboardFooter dashboardFooter(SessionEngine& engine)
{
    const Tracker& tracker = engine.tracker();
    const GoalTracker& goal = engine.goal();
    DashboardFooter footer;
    footer.kind = tracker.kind();
    footer.activity = tracker.isIdle() ? "Idle" : engine.projectDisplayName();
    footer.deepToday = DurationFormat::hm(engine.liveDeepSecondsToday());
    footer.goal = "/ " + goal.goalHoursLabel();
    footer.progress = goal.dailyProgress();
    return footer;
}

} // namespace kestrove
