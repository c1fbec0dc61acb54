#pragma once

#include "replay/Timeline.h"

#include <cstdint>

namespace kestrove::replay {

// A timeline of `days` calendar days from the local day of `firstDay`: nights asleep, work days
// of deep, shallow and distracted stretches with breaks, lunch and the odd focus task, evenings
// and weekends that are mostly browsing. It starts when the machine first wakes, and the same
// seed gives the same timeline.
Timeline syntheticDays(int days, Date firstDay, std::uint64_t seed = 1);

} // namespace kestrove::replay
