#pragma once

#include "replay/Timeline.h"

#include "core/Segment.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kestrove::replay {

// What one replay did.
struct ReplayReport
{
    std::int64_t samples = 0;  // seconds the engine ticked
    std::int64_t segments = 0; // rows in the database at the end
    std::int64_t focusTasks = 0;
    std::int64_t databaseBytes = 0; // the database file with its journal files
    double simulatedSeconds = 0;
    double wallSeconds = 0;

    double throughput() const { return wallSeconds > 0 ? simulatedSeconds / wallSeconds : 0; }
};

// Runs a timeline through the real session engine and tracker, with the real database and
// preferences in `folder`, on a virtual clock and as fast as the machine allows. Only the
// desktop is stood in for: the collectors' fakes are fed from the timeline, and the shell's
// services (notifications, lockdown, focus bridge) are the tests' fakes.
ReplayReport replayTimeline(const Timeline& timeline, const std::string& folder);

// The segments stored in the database at `path`, in the order they were written.
std::vector<Segment> storedSegments(const std::string& path);

// Where replayTimeline() keeps its database inside `folder`.
std::string replayDatabasePath(const std::string& folder);

} // namespace kestrove::replay
