#include "core/Duration.h"

#include "core/DateText.h"
#include "core/NumberFormat.h"

#include <cmath>
#include <cstdint>

namespace kestrove {

namespace {

// The largest double below 2^63, so that every rounded input converts to int64 safely.
constexpr double kLargestWhole = 9223372036854774784.0;

// The rounded input as a whole number, or 0 for inputs that have no sensible text (negative,
// not a number, infinite); huge values are capped so that the conversion is defined.
enum class Rounding
{
    down,
    up,
    nearest
};

std::int64_t whole(double value, Rounding rounding)
{
    if (!(value >= 0) || std::isinf(value)) {
        return 0;
    }
    const double rounded = rounding == Rounding::down ? std::floor(value)
                           : rounding == Rounding::up ? std::ceil(value)
                                                      : std::round(value);
    return static_cast<std::int64_t>(std::fmin(rounded, kLargestWhole));
}

struct HoursMinutes
{
    std::int64_t hours;
    std::int64_t minutes;
    std::int64_t remainder; // seconds within the hour
};

HoursMinutes split(std::int64_t s)
{
    const std::int64_t hours = s / 3600;
    const std::int64_t remainder = s - hours * 3600;
    return {hours, remainder / 60, remainder};
}

std::string twoDigits(std::int64_t value)
{
    return NumberFormat::padded(value, 2);
}

} // namespace

namespace DurationFormat {

std::string hm(TimeInterval seconds)
{
    const std::int64_t s = whole(seconds, Rounding::down);
    if (s <= 0) {
        return "0m";
    }
    const auto [h, m, r] = split(s);
    if (h == 0) {
        return r < 60 ? "<1m" : NumberFormat::integer(m) + "m";
    }
    if (r < 60) {
        return NumberFormat::integer(h) + "h";
    }
    return NumberFormat::integer(h) + "h " + NumberFormat::integer(m) + "m";
}

std::string live(TimeInterval seconds)
{
    const std::int64_t s = whole(seconds, Rounding::down);
    if (s >= 3600) {
        const auto [h, m, r] = split(s);
        return NumberFormat::integer(h) + "h " + twoDigits(m) + "m";
    }
    if (s >= 60) {
        return NumberFormat::integer(s / 60) + "m " + twoDigits(s % 60) + "s";
    }
    return NumberFormat::integer(s) + "s";
}

std::string clock(TimeInterval seconds)
{
    const std::int64_t s = whole(seconds, Rounding::up);
    return NumberFormat::integer(s / 60) + ":" + twoDigits(s % 60);
}

std::string hoursDecimal(TimeInterval seconds)
{
    if (!(seconds >= 0) || std::isinf(seconds)) {
        return "0m";
    }
    const double hours = seconds / 3600.0;
    if (hours >= 10.0) {
        return NumberFormat::fixed(hours, 0) + "h";
    }
    if (hours >= 1.0) {
        return NumberFormat::fixed(hours, 1) + "h";
    }
    return NumberFormat::integer(static_cast<std::int64_t>(std::trunc(seconds / 60.0))) + "m";
}

Hero hero(TimeInterval seconds)
{
    const std::int64_t s = whole(seconds, Rounding::down);
    const auto [h, m, r] = split(s);
    if (h == 0) {
        return {NumberFormat::integer(m), "min"};
    }
    return {NumberFormat::integer(h) + ":" + twoDigits(m), "hours"};
}

std::string percent(double fraction)
{
    const std::int64_t p = whole(fraction * 100.0, Rounding::nearest);
    return NumberFormat::integer(p) + "%";
}

} // namespace DurationFormat

std::string clockString(Date date, const std::string& locale)
{
    return DateText::shortTime(date, locale);
}

} // namespace kestrove
