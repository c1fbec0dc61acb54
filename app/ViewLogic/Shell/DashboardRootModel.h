#pragma once

#include "ViewLogic/Shell/DashboardNavigation.h"
#include "core/ContextKind.h"
#include "core/FocusTask.h"

#include <optional>
#include <string>
#include <vector>

namespace kestrove {

class SessionEngine;

// One entry of the dashboard's sidebar.
struct SidebarEntry
{
    DashboardSection section;
    std::string title;
    std::string symbol; // the icon's name
    bool isSelected = false;
    // The running task's time left, on the lock-in entry only.
    std::optional<std::string> trailing;
};

// The sidebar's live footer: what is tracked now and today's deep time against the goal.
struct DashboardFooter
{
    ContextKind kind = ContextKind::idle;
    std::string activity;
    std::string deepToday;
    std::string goal;
    double progress = 0;
};

std::vector<SidebarEntry> sidebarEntries(DashboardSection selected,
                                         const std::optional<FocusTask>& activeTask);

DashboardFooter dashboardFooter(SessionEngine& engine);

} // namespace kestrove
