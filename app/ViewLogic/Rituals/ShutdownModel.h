#pragma once

#include "core/DaySummary.h"

#include <optional>
#include <string>
#include <vector>

namespace kestrove {

class SessionEngine;

// The evening shutdown's figures and its starting text, read from the engine each time the
// window redraws.
struct ShutdownModel
{
    struct ProjectRow
    {
        std::string name;
        std::optional<std::string> colorKey; // none for the unassigned time
        std::string time;

        bool operator==(const ProjectRow&) const = default;
    };

    static constexpr std::size_t kMaxProjects = 6;

    static ShutdownModel capture(SessionEngine& engine);
    static ShutdownModel make(double deepSeconds, const std::string& goalLabel, bool achieved,
                              const std::string& remainingText,
                              const std::vector<TimeShare>& byProject);

    std::string deepTime;  // "2h 5m"
    std::string goalLine;  // "2h 5m / 4h"
    std::string remaining; // "Achieved" or "1h 55m left"
    std::vector<ProjectRow> projects;

    // What the plan field starts with: the text already written tonight when the shutdown runs
    // a second time the same day, else nothing, so that a second run never loses it.
    static std::string initialPlanText(SessionEngine& engine);
};

} // namespace kestrove
