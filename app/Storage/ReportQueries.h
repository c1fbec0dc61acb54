#pragma once

#include "core/Date.h"

#include <cstdint>
#include <optional>
#include <string>

// The rows the report queries hand to the screens. The queries themselves are operations of
// Database (ReportQueries.cpp).
namespace kestrove {

// An application or a site seen in a period, with its non-idle seconds.
struct SeenContext
{
    std::string key; // the domain, or the lower-cased bundle identifier (else name)
    std::string displayName;
    bool isDomain = false;
    double seconds = 0;

    const std::string& id() const { return key; }
    bool operator==(const SeenContext&) const = default;
};

// The deep seconds of one window title, site or application.
struct LabelTime
{
    std::string label;
    double seconds = 0;

    const std::string& id() const { return label; }
    bool operator==(const LabelTime&) const = default;
};

// One finished focus task as the history list shows it.
struct FocusSessionEntry
{
    std::string id; // made fresh for every read, not the task's own identifier
    std::string taskName;
    Date startedAt = 0;
    Date endedAt = 0;
    double estimatedSeconds = 0;
    double onTaskSeconds = 0;
    bool completed = false;
    double avgScore = 0;
    std::optional<std::string> endedReason;
    bool isLockdown = false;

    // "42s", "5m", "1h 5m".
    std::string onTaskFormatted() const;
};

// A day's lockdown focus tasks and the launches they refused.
struct LockdownStats
{
    std::int64_t sessions = 0;
    double totalLockedSeconds = 0;
    std::int64_t totalBlocks = 0;
    double completionRate = 0; // completed ÷ sessions; 0 without sessions

    bool operator==(const LockdownStats&) const = default;
};

} // namespace kestrove
