#pragma once

#include "Storage/ReportQueries.h"
#include "ViewLogic/Charts/BarChartModel.h"
#include "ViewLogic/Today/ReviewFigures.h"
#include "core/DaySummary.h"
#include "core/ProjectRules.h"

#include <optional>
#include <string>
#include <vector>

namespace kestrove {

// The projects page's texts, groups, rows and figures. Dates are written in `locale` (the
// user's when empty), in the process's time zone.
namespace ProjectsTexts {

inline constexpr const char* kEyebrow = "Last 30 days";
inline constexpr const char* kEmptyTitle = "No projects yet.";
inline constexpr const char* kEmptyExplanation =
    "A project is a thing you work on: your own app, a video channel, a client. Add rules (an "
    "app, a website, a folder, a window title) and deep time is attributed automatically. Or "
    "assign from the Unassigned chips on Today.";
inline constexpr const char* kNoArea = "No area";
inline constexpr const char* kPlaceholder = "Select a project";
inline constexpr const char* kUnassignedTitle = "Unassigned deep work";
inline constexpr const char* kUnassignedDetail =
    "Deep time not linked to a project. Use the Today screen's Unassigned chips to assign "
    "folders, sites and apps.";
inline constexpr const char* kPinTooltip =
    "Attribute all deep work to this project until you unpin or go idle for 20 minutes";
inline constexpr const char* kChartTitle = "Deep hours, last 30 days";
inline constexpr const char* kRulesTrailing = "specific rules beat app rules";
inline constexpr const char* kNoRules =
    "No rules. Add an app, a website, a folder, or a window title so time is attributed "
    "automatically.";
inline constexpr const char* kWorkedOnTitle = "What you worked on";
inline constexpr const char* kWorkedOnTrailing = "top windows and sites, 30 days";
inline constexpr const char* kNothingAttributed = "Nothing attributed to this project yet.";
inline constexpr const char* kReadFailed = "Projects could not be read from the database.";

} // namespace ProjectsTexts

// The 30 calendar days ending with today, by local midnights: from the start of today minus
// 29 days to the start of tomorrow. The list and the detail both count this window.
struct ProjectWindow
{
    Date from = 0;
    Date to = 0;
};
ProjectWindow thirtyDayWindow(Date now);

// The seconds of the first row named exactly `name`; 0 when there is none.
double secondsNamed(const std::vector<TimeShare>& totals, const std::string& name);

// One block of the list: the projects of one area, most 30-day time first, store order among
// equals, with the header it shows (absent: none).
struct ProjectGroup
{
    std::string area; // empty: no area
    std::optional<std::string> header;
    std::vector<Project> projects;
};

// Areas in code-point order (case-sensitive), projects without an area last. With one group
// only a real area is shown as a header; with more every group has one.
std::vector<ProjectGroup> groupedProjects(const std::vector<Project>& activeProjects,
                                          const std::vector<TimeShare>& totals30);

// "No rules yet", "1 rule", "2 rules".
std::string ruleCountText(std::size_t count);

// The unassigned row's seconds, when more than a minute of deep time has no project.
std::optional<double> unassignedRowSeconds(const std::vector<TimeShare>& totals30);

// The detail's four figures: "last 30 days", "per active day", "active days", "today".
std::vector<StatFigure> projectFigures(const std::vector<DayTotal>& trend, double todaySeconds);
// The project's deep seconds in today's summary, by exact name.
double todaySecondsFor(const DaySummary& today, const std::string& name);
// The title block's caption: the area, or "Project" without one.
std::string detailEyebrow(const Project& project);

// Deep hours per day of the trend; today's bar is the current one, every seventh day labelled.
BarChartModel projectChart(const std::vector<DayTotal>& trend, Date now,
                           const std::string& locale = {});

} // namespace kestrove
