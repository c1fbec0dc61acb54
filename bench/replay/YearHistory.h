#pragma once

#include "core/Date.h"
#include "core/Segment.h"

#include <cstdint>
#include <random>

namespace kestrove {
class Database;
}

namespace kestrove::replay {

// About 2740 segments a day: sixteen waking hours of short stretches from seven, then one night
// asleep. The shape the storage benchmarks measure on.
inline constexpr int kYearSegmentsPerDay = 2740;

// One waking stretch in one of six applications, drawn from `random`; `withUrl` adds a page
// address to the browser's stretches, at the cost of one more draw.
Segment sampleSegment(std::mt19937& random, Date start, Date end, bool withUrl);

// Writes `days` days of history into an open, empty `db`, ending at the start of the day of
// `now`, then `todaySegments` short stretches from midnight until a minute before `now`: a year
// of a heavy user and a heavy today. The same seed gives the same rows.
void writeYearOfHistory(Database& db, Date now, int days, int todaySegments,
                        std::uint32_t seed = 42);

} // namespace kestrove::replay
