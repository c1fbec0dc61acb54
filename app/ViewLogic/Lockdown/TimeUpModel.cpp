#include "ViewLogic/Lockdown/TimeUpModel.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace kestrove {

std::optional<SessionStats> SessionStats::capture(const std::optional<FocusTask>& task, Date now)
{
    if (!task) {
        return std::nullopt;
    }
    SessionStats stats;
    stats.taskName = task->name;
    stats.durationSeconds = static_cast<std::int64_t>(std::max(0.0, now - task->startedAt));
    stats.onTaskSeconds = static_cast<std::int64_t>(std::max(0.0, task->cumulativeOnTaskSeconds));
    if (!task->scoreSamples.empty()) {
        const double mean =
            std::accumulate(task->scoreSamples.begin(), task->scoreSamples.end(), 0.0) /
            static_cast<double>(task->scoreSamples.size());
        if (mean > 0) {
            stats.avgScore = mean;
        }
    }
    return stats;
}

std::string TimeUpModel::formatDuration(std::int64_t seconds)
{
    seconds = std::max<std::int64_t>(0, seconds);
    if (seconds < 60) {
        return std::to_string(seconds) + "s";
    }
    if (seconds < 3600) {
        return std::to_string(seconds / 60) + "m";
    }
    return std::to_string(seconds / 3600) + "h " + std::to_string((seconds % 3600) / 60) + "m";
}

std::vector<std::pair<std::string, std::string>> TimeUpModel::statLines(const SessionStats& stats)
{
    std::vector<std::pair<std::string, std::string>> lines = {
        {"Duration", formatDuration(stats.durationSeconds)},
        {"On task", formatDuration(stats.onTaskSeconds)},
    };
    if (stats.avgScore) {
        // std::round goes halves away from zero.
        lines.emplace_back("Avg score",
                           std::to_string(static_cast<long long>(std::round(*stats.avgScore))));
    }
    return lines;
}

void TimeUpModel::addMinutes()
{
    m_minutes = std::min(kMaxMinutes, m_minutes + kStepMinutes);
}

void TimeUpModel::removeMinutes()
{
    m_minutes = std::max(kMinMinutes, m_minutes - kStepMinutes);
}

void TimeUpModel::celebrate(std::optional<SessionStats> captured)
{
    if (m_phase == Phase::celebrating) {
        return;
    }
    if (!captured) {
        captured = SessionStats{m_taskName, 0, 0, std::nullopt};
    }
    m_stats = std::move(captured);
    m_phase = Phase::celebrating;
}

} // namespace kestrove
