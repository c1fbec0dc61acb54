#include "ViewLogic/Projects/ProjectsModel.h"

#include "core/Calendar.h"
#include "core/DateText.h"
#include "core/Duration.h"
#include "core/NumberFormat.h"

#include <algorithm>
#include <map>

namespace kestrove {

namespace {

constexpr double kMinute = 60;
constexpr int kDays = 30;

} // namespace

ProjectWindow thirtyDayWindow(Date now)
{
    const Date today = Calendar::startOfDay(now);
    return {Calendar::addingDays(today, -(kDays - 1)), Calendar::addingDays(today, 1)};
}

double secondsNamed(const std::vector<TimeShare>& totals, const std::string& name)
{
    for (const TimeShare& share : totals) {
        if (share.name == name) {
            return share.seconds;
        }
    }
    return 0;
}

std::vector<ProjectGroup> groupedProjects(const std::vector<Project>& activeProjects,
                                          const std::vector<TimeShare>& totals30)
{
    // std::map orders std::string by bytes, which for UTF-8 is code-point order.
    std::map<std::string, std::vector<Project>> byArea;
    std::vector<Project> noArea;
    for (const Project& project : activeProjects) {
        const std::string area = project.area.value_or("");
        (area.empty() ? noArea : byArea[area]).push_back(project);
    }
    std::vector<ProjectGroup> groups;
    for (auto& [area, projects] : byArea) {
        groups.push_back({area, std::nullopt, std::move(projects)});
    }
    if (!noArea.empty()) {
        groups.push_back({"", std::nullopt, std::move(noArea)});
    }
    for (ProjectGroup& group : groups) {
        std::stable_sort(group.projects.begin(), group.projects.end(),
                         [&](const Project& a, const Project& b) {
                             return secondsNamed(totals30, a.name) > secondsNamed(totals30, b.name);
                         });
        if (groups.size() >= 2) {
            group.header = group.area.empty() ? ProjectsTexts::kNoArea : group.area;
        } else if (!group.area.empty()) {
            group.header = group.area;
        }
    }
    return groups;
}

std::string ruleCountText(std::size_t count)
{
    if (count == 0) {
        return "No rules yet";
    }
    return NumberFormat::integer(static_cast<std::int64_t>(count)) + " rule" +
           (count == 1 ? "" : "s");
}

std::optional<double> unassignedRowSeconds(const std::vector<TimeShare>& totals30)
{
    for (const TimeShare& share : totals30) {
        if (share.name == DaySummary::kUnassignedLabel) {
            if (share.seconds > kMinute) {
                return share.seconds;
            }
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::vector<StatFigure> projectFigures(const std::vector<DayTotal>& trend, double todaySeconds)
{
    double total = 0;
    double activeDeep = 0;
    int active = 0;
    for (const DayTotal& day : trend) {
        total += day.deepSeconds;
        if (day.deepSeconds >= kMinute) {
            activeDeep += day.deepSeconds;
            ++active;
        }
    }
    return {
        {"last 30 days", DurationFormat::hm(total)},
        {"per active day", active > 0 ? DurationFormat::hm(activeDeep / active) : "\u2014"},
        {"active days", NumberFormat::integer(active)},
        {"today", DurationFormat::hm(todaySeconds)},
    };
}

double todaySecondsFor(const DaySummary& today, const std::string& name)
{
    return secondsNamed(today.byProject, name);
}

std::string detailEyebrow(const Project& project)
{
    return project.area.value_or("Project");
}

BarChartModel projectChart(const std::vector<DayTotal>& trend, Date now, const std::string& locale)
{
    BarChartModel chart;
    double largest = 0;
    for (const DayTotal& day : trend) {
        ChartBar bar;
        bar.label = DateText::formatted(day.date, "MMM d", locale);
        bar.hours = day.deepSeconds / 3600;
        bar.isCurrent = Calendar::isSameDay(day.date, now);
        largest = std::max(largest, bar.hours);
        chart.bars.push_back(std::move(bar));
    }
    chart.upperBound = BarChartModel::roundUpperBound(largest);
    chart.ticks = BarChartModel::ticksFor(chart.upperBound);
    chart.labelStride = 7;
    return chart;
}

} // namespace kestrove
