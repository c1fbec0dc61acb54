#pragma once

#include "Platform/LifetimeGuard.h"
#include "Storage/ReportQueries.h"
#include "core/DaySummary.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestrove {

class SessionEngine;

struct ProjectTotalsLoad
{
    std::vector<TimeShare> totals; // 30-day deep seconds per project name, largest first
    bool failed = false;
};

struct ProjectDetailLoad
{
    std::string project;
    std::vector<DayTotal> trend; // one per day of the 30-day window, oldest first
    std::vector<LabelTime> labels;
    bool failed = false;
};

struct UnassignedLoad
{
    std::vector<LabelTime> labels;
    bool failed = false;
};

// The project's old name moved to its new name and area on every stored segment; no new name
// leaves its segments without project and area.
struct HistoryRename
{
    std::string from;
    std::optional<std::string> to;
    std::optional<std::string> area;

    bool operator==(const HistoryRename&) const = default;
};

// The projects page's reads, on the database's thread, over the one 30-day window. Each kind
// of load carries its own generation: only the newest of a kind is handed back, so a slow read
// of a project tapped before never replaces the one shown. Main thread only.
class ProjectsLoader
{
public:
    template <typename T> using Apply = std::function<void(T)>;

    explicit ProjectsLoader(SessionEngine& engine);

    void loadTotals(Date now, Apply<ProjectTotalsLoad> apply);
    void loadDetail(const std::string& project, Date now, Apply<ProjectDetailLoad> apply);
    void loadUnassigned(Date now, Apply<UnassignedLoad> apply);

private:
    SessionEngine& m_engine;
    std::uint64_t m_totalsGeneration = 0;
    std::uint64_t m_detailGeneration = 0;
    std::uint64_t m_unassignedGeneration = 0;
    LifetimeGuard m_guard;
};

// Rewrites the stored segments of a renamed or deleted project, then rebuilds today's figures
// whether or not the rewrite worked. `done` gets the database's message when it failed; it is
// dropped once `guard` is gone, but the rewrite and the rebuild still run.
void renameProjectHistory(SessionEngine& engine, const HistoryRename& rename,
                          const LifetimeGuard& guard,
                          std::function<void(std::optional<std::string> error)> done);

} // namespace kestrove
