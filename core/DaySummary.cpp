#include "core/DaySummary.h"

#include "core/Calendar.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <unordered_map>

namespace kestrove {

namespace {

constexpr std::string_view kOtherArea = "Other";

// Working totals keyed by texts that live in the segments and projects during the build.
using Totals = std::unordered_map<std::string_view, double>;

std::vector<TimeShare> rows(const Totals& totals)
{
    std::vector<TimeShare> result;
    result.reserve(totals.size());
    for (const auto& [name, seconds] : totals) {
        result.push_back({std::string(name), seconds, std::nullopt});
    }
    return result;
}

// Largest first, equal seconds by name in code-point order; the unassigned row last when
// `unassignedLast`.
void sortRows(std::vector<TimeShare>& rows, bool unassignedLast)
{
    std::sort(rows.begin(), rows.end(), [&](const TimeShare& a, const TimeShare& b) {
        if (unassignedLast) {
            const bool aLast = a.name == DaySummary::kUnassignedLabel;
            const bool bLast = b.name == DaySummary::kUnassignedLabel;
            if (aLast != bLast) {
                return bLast;
            }
        }
        if (a.seconds != b.seconds) {
            return a.seconds > b.seconds;
        }
        return a.name < b.name;
    });
}

// Spreads a deep segment over the local hours it touches. Hours are cached because a day's
// segments arrive in order and most of them fall into the hour of the one before.
class HourSplitter
{
public:
    explicit HourSplitter(std::map<int, double>& byHour) : m_byHour(byHour) {}

    void add(Date start, Date end)
    {
        if (!std::isfinite(start) || !std::isfinite(end)) {
            return;
        }
        for (Date cursor = start; cursor < end;) {
            if (!(cursor >= m_hourStart && cursor < m_hourEnd)) {
                m_hourStart = Calendar::startOfHour(cursor);
                m_hourEnd = m_hourStart + 3600;
                m_slot = &m_byHour[Calendar::hour(cursor)];
            }
            const Date pieceEnd = std::min(end, m_hourEnd);
            *m_slot += pieceEnd - cursor;
            cursor = pieceEnd;
        }
    }

private:
    std::map<int, double>& m_byHour;
    Date m_hourStart = 0;
    Date m_hourEnd = 0;
    double* m_slot = nullptr;
};

} // namespace

DaySummary DaySummary::empty(Date date)
{
    DaySummary summary;
    summary.date = date;
    return summary;
}

DaySummary DaySummary::build(Date date, const std::vector<Segment>& segments,
                             const std::vector<Project>& projects,
                             const FocusBlockBuilder& blockBuilder)
{
    DaySummary summary = empty(date);
    std::unordered_map<std::string_view, const Project*> projectsByName;
    for (const auto& project : projects) {
        projectsByName.emplace(project.name, &project); // the first of two namesakes wins
    }
    Totals perProject, perArea, perHint, perDistraction, perShallow;
    HourSplitter hours(summary.byHour);

    for (const auto& segment : segments) {
        const double d = segment.duration();
        switch (segment.kind) {
        case ContextKind::shallow:
            summary.shallowSeconds += d;
            perShallow[segment.hintLabel()] += d;
            continue;
        case ContextKind::distraction:
            summary.distractionSeconds += d;
            perDistraction[segment.hintLabel()] += d;
            continue;
        case ContextKind::neutral:
            summary.neutralSeconds += d;
            continue;
        case ContextKind::idle:
            summary.idleSeconds += d;
            continue;
        case ContextKind::deep:
            break;
        }

        summary.deepSeconds += d;
        if (!summary.firstDeep || segment.start < *summary.firstDeep) {
            summary.firstDeep = segment.start;
        }
        if (!summary.lastDeep || segment.end > *summary.lastDeep) {
            summary.lastDeep = segment.end;
        }
        const std::string_view projectKey =
            segment.project ? std::string_view(*segment.project) : kUnassignedLabel;
        perProject[projectKey] += d;

        std::string_view area = segment.project ? kOtherArea : kUnassignedLabel;
        if (segment.area) {
            area = *segment.area;
        } else if (const auto it = projectsByName.find(projectKey);
                   it != projectsByName.end() && it->second->area) {
            area = *it->second->area;
        }
        perArea[area] += d;

        if (!segment.project) {
            perHint[segment.hintLabel()] += d;
        }
        hours.add(segment.start, segment.end);
    }

    summary.blocks = blockBuilder.blocks(segments);
    summary.byProject = rows(perProject);
    for (auto& row : summary.byProject) {
        if (const auto it = projectsByName.find(row.name); it != projectsByName.end()) {
            row.color = it->second->color;
        }
    }
    sortRows(summary.byProject, true);
    summary.byArea = rows(perArea);
    sortRows(summary.byArea, true);
    summary.unassignedHints = rows(perHint);
    sortRows(summary.unassignedHints, false);
    summary.topDistractions = rows(perDistraction);
    sortRows(summary.topDistractions, false);
    summary.topShallow = rows(perShallow);
    sortRows(summary.topShallow, false);
    return summary;
}

double DaySummary::deepRatio() const
{
    const double active = activeSeconds();
    return active > 0 ? deepSeconds / active : 0;
}

std::optional<FocusBlock> DaySummary::longestBlock() const
{
    const auto it = std::max_element(
        blocks.begin(), blocks.end(),
        [](const FocusBlock& a, const FocusBlock& b) { return a.deepSeconds < b.deepSeconds; });
    if (it == blocks.end()) {
        return std::nullopt;
    }
    return *it;
}

std::optional<TimeShare> DaySummary::topProject() const
{
    for (const auto& row : byProject) {
        if (row.name != kUnassignedLabel) {
            return row;
        }
    }
    return std::nullopt;
}

Streak Streak::compute(const std::vector<Date>& goalDays, Date today)
{
    std::set<Date> days;
    for (const Date day : goalDays) {
        if (std::isfinite(day)) {
            days.insert(Calendar::startOfDay(day));
        }
    }
    if (days.empty()) {
        return {};
    }
    int run = 1;
    int best = 1;
    for (auto earlier = days.begin(), later = std::next(earlier); later != days.end();
         ++earlier, ++later) {
        run = Calendar::addingDays(*earlier, 1) == *later ? run + 1 : 1;
        best = std::max(best, run);
    }

    if (!std::isfinite(today)) {
        return {0, best};
    }
    const Date start = Calendar::startOfDay(today);
    Date anchor = start;
    if (!days.count(anchor)) {
        anchor = Calendar::addingDays(start, -1);
        if (!days.count(anchor)) {
            return {0, best};
        }
    }
    int current = 0;
    for (Date day = anchor; days.count(day); day = Calendar::addingDays(day, -1)) {
        ++current;
    }
    return {current, best};
}

} // namespace kestrove
