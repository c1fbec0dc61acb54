#pragma once

#include "core/Date.h"
#include "core/FocusBlockBuilder.h"
#include "core/ProjectRules.h"
#include "core/Segment.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrove {

// The time of one project, area, hint or site.
struct TimeShare
{
    std::string name;
    double seconds = 0;
    std::optional<std::string> color; // the project's colour key, on project rows only

    const std::string& id() const { return name; }
    bool operator==(const TimeShare&) const = default;
};

// Everything the dashboards, reviews and notifications know about one day.
struct DaySummary
{
    // The row of deep time without a project; it always sorts last.
    static constexpr std::string_view kUnassignedLabel = "Unassigned";

    Date date = 0; // the calendar start of the day
    double deepSeconds = 0;
    double shallowSeconds = 0;
    double distractionSeconds = 0;
    double neutralSeconds = 0;
    double idleSeconds = 0;
    std::vector<FocusBlock> blocks;         // in order of their start
    std::vector<TimeShare> byProject;       // deep seconds, largest first, "Unassigned" last
    std::vector<TimeShare> byArea;          // deep seconds, largest first, "Unassigned" last
    std::map<int, double> byHour;           // local hour of day → deep seconds
    std::vector<TimeShare> unassignedHints; // deep seconds without a project, per hint
    std::vector<TimeShare> topDistractions;
    std::vector<TimeShare> topShallow;
    std::optional<Date> firstDeep;
    std::optional<Date> lastDeep;

    // Rebuilds a day from its segments (ascending start, already cut to the day). Rows with
    // equal seconds are ordered by name, so the same day always reads the same.
    static DaySummary build(Date date, const std::vector<Segment>& segments,
                            const std::vector<Project>& projects,
                            const FocusBlockBuilder& blockBuilder);
    static DaySummary empty(Date date);

    double activeSeconds() const
    {
        return deepSeconds + shallowSeconds + distractionSeconds + neutralSeconds;
    }
    double trackedSeconds() const { return activeSeconds() + idleSeconds; }
    double deepRatio() const;
    // The block with the most deep time; the earliest among equals.
    std::optional<FocusBlock> longestBlock() const;
    // The project with the most deep time, never the unassigned row.
    std::optional<TimeShare> topProject() const;

    bool operator==(const DaySummary&) const = default;
};

// One calendar day of history, without the detail of a summary.
struct DayTotal
{
    Date date = 0; // the calendar start of the day
    double deepSeconds = 0;
    double activeSeconds = 0; // every kind but idle

    Date id() const { return date; }
    bool operator==(const DayTotal&) const = default;
};

// Runs of consecutive days on which the daily goal was met.
struct Streak
{
    int current = 0; // the run ending today, or yesterday while today is not (yet) a goal day
    int longest = 0;

    // `goalDays` holds any moment of each goal day, in any order, repeats allowed. Days are
    // counted on the calendar, so a run survives a clock change.
    static Streak compute(const std::vector<Date>& goalDays, Date today);

    bool operator==(const Streak&) const = default;
};

} // namespace kestrove
