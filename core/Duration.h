#pragma once

#include "core/Date.h"

#include <string>

namespace kestrove {

// The duration texts every view shows, so that the same time reads the same everywhere.
// Negative and non-finite inputs give each form's smallest text ("0m", "0s", "0:00", "0%").
namespace DurationFormat {

struct Hero
{
    std::string value;
    std::string unit;

    bool operator==(const Hero&) const = default;
};

// "0m", "<1m", "45m", "2h", "2h 5m"; hours never fold into days.
std::string hm(TimeInterval seconds);
// A running counter: "1h 02m", "12m 34s", "9s".
std::string live(TimeInterval seconds);
// A countdown, rounded up to the second: "1:01", "60:00".
std::string clock(TimeInterval seconds);
// Chart labels: "12h", "1.5h", "59m".
std::string hoursDecimal(TimeInterval seconds);
// The large figure: ("45", "min") or ("1:30", "hours").
Hero hero(TimeInterval seconds);
// A fraction as whole percent, halves away from zero, not clamped: 1.5 gives "150%".
std::string percent(double fraction);

} // namespace DurationFormat

// The time of day in the short time style of `locale` (the user's when empty).
std::string clockString(Date date, const std::string& locale = {});

} // namespace kestrove
