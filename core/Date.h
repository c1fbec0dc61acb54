#pragma once

namespace kestrove {

// An instant, in seconds since 1970-01-01 00:00:00 UTC.
using Date = double;
// A length of time in seconds.
using TimeInterval = double;

// Seconds between 1970-01-01 and 2001-01-01 (UTC), the reference date of the JSON date form.
inline constexpr double kReferenceDateOffset = 978307200.0;

} // namespace kestrove
