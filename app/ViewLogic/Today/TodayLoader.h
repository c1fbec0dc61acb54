#pragma once

#include "Platform/LifetimeGuard.h"
#include "Platform/Log.h"
#include "core/DaySummary.h"
#include "core/Segment.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestrove {

class SessionEngine;

// What one load of a day gave the today page.
struct TodayLoad
{
    Date day = 0;
    bool isToday = false;
    // Today with the open segment merged in; clipped to the day.
    std::vector<Segment> segments;
    // A past day's summary, built from its segments; absent for today.
    std::optional<DaySummary> pastSummary;
    // Whether older data was imported into this database (the legacy note's condition).
    bool legacyImported = false;
    // The database read failed; the segments and the summary are empty.
    bool failed = false;
};

// Today's stored rows with the open segment counted from memory: its copy ends at `now`, starts
// no earlier than the day, and is kept only when something is left; then sorted by start.
std::vector<Segment> mergeOpenSegment(std::vector<Segment> rows, const std::optional<Segment>& open,
                                      Date dayStart, Date now);

// Reads the segments of a day for the today page on the database's thread and builds a past
// day's summary there. Every load carries a generation: only the newest one's result is handed
// back, so a slow load of a day left behind never replaces the day shown. Main thread only.
class TodayLoader
{
public:
    using Apply = std::function<void(TodayLoad)>;

    explicit TodayLoader(SessionEngine& engine);

    // Loads the day starting at `day` (today when `isToday`); `apply` receives the result on
    // the main thread unless a newer load started meanwhile or the loader is gone.
    void load(Date day, bool isToday, Apply apply);
    std::uint64_t generation() const { return m_generation; }

private:
    SessionEngine& m_engine;
    std::uint64_t m_generation = 0;
    // The last applied load failed; a run of failures is logged once.
    bool m_failing = false;
    Log m_log{"app"};
    LifetimeGuard m_guard;
};

} // namespace kestrove
