#include "core/Calendar.h"

#include <unicode/calendar.h>
#include <unicode/locid.h>

#include <cmath>
#include <ctime>
#include <memory>
#include <optional>

namespace kestrove::Calendar {

namespace {

std::tm localTm(Date date)
{
    const auto seconds = static_cast<std::time_t>(std::floor(date));
    std::tm tm{};
    localtime_r(&seconds, &tm);
    return tm;
}

// Fractions of a second survive calendar arithmetic.
double fraction(Date date)
{
    return date - std::floor(date);
}

// The offset from UTC in force at an instant, in seconds east.
long offsetAt(std::time_t instant)
{
    std::tm tm{};
    localtime_r(&instant, &tm);
    return tm.tm_gmtoff;
}

} // namespace

DateComponents components(Date date)
{
    const std::tm tm = localTm(date);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
            tm.tm_min,         tm.tm_sec,     tm.tm_wday + 1};
}

Date date(int year, int month, int day, int hour, int minute, int second)
{
    std::tm wanted{};
    wanted.tm_year = year - 1900;
    wanted.tm_mon = month - 1;
    wanted.tm_mday = day;
    wanted.tm_hour = hour;
    wanted.tm_min = minute;
    wanted.tm_sec = second;
    // The wall time read as if it were UTC (out-of-range fields carry over, as mktime's do).
    const std::time_t wall = timegm(&wanted);

    // An instant shows this wall time when the offset in force at it is the one that maps it
    // there. Zones change their offset at most once within a day or so, so the offsets a day
    // either side give every candidate: two for a repeated time, where the first is taken.
    // Picking from the offsets themselves avoids mktime, whose search for an instant with a
    // requested daylight flag is slow in zones that have none.
    tzset(); // a zone changed since the last call takes effect, as it would through mktime
    std::optional<std::time_t> best;
    for (const std::time_t probe : {wall - 86400, wall, wall + 86400}) {
        const std::time_t candidate = wall - offsetAt(probe);
        if (candidate + offsetAt(candidate) == wall && (!best || candidate < *best)) {
            best = candidate;
        }
    }
    if (best) {
        return static_cast<Date>(*best);
    }
    // Not a local time (skipped by a clock change): the first instant after the gap.
    auto wallOf = [](std::time_t t) { return t + offsetAt(t); };
    const std::time_t around = wall - offsetAt(wall);
    std::time_t lo = around - 3 * 3600;
    std::time_t hi = around + 3 * 3600;
    while (hi - lo > 1) {
        const std::time_t mid = lo + (hi - lo) / 2;
        if (wallOf(mid) >= wall) {
            hi = mid;
        } else {
            lo = mid;
        }
    }
    return static_cast<Date>(hi);
}

Date startOfDay(Date value)
{
    const DateComponents c = components(value);
    return date(c.year, c.month, c.day);
}

Date startOfHour(Date value)
{
    // Subtracting the minutes and seconds is correct across clock changes, which move by whole
    // hours in every zone that matters here; half-hour zones keep their own minute offset.
    const std::tm tm = localTm(value);
    return std::floor(value) - tm.tm_min * 60 - tm.tm_sec;
}

Date addingDays(Date value, int days)
{
    const DateComponents c = components(value);
    return date(c.year, c.month, c.day + days);
}

Date sameTimeAddingDays(Date value, int days)
{
    const DateComponents c = components(value);
    return date(c.year, c.month, c.day + days, c.hour, c.minute, c.second) + fraction(value);
}

bool isSameDay(Date a, Date b)
{
    const std::tm x = localTm(a);
    const std::tm y = localTm(b);
    return x.tm_year == y.tm_year && x.tm_yday == y.tm_yday;
}

int hour(Date value)
{
    return localTm(value).tm_hour;
}

int minute(Date value)
{
    return localTm(value).tm_min;
}

int weekday(Date value)
{
    return localTm(value).tm_wday + 1;
}

int firstWeekday(const std::string& locale)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale loc = locale.empty() ? icu::Locale::getDefault() : icu::Locale(locale.c_str());
    std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(loc, status));
    if (U_FAILURE(status) || !calendar) {
        return 1;
    }
    return static_cast<int>(calendar->getFirstDayOfWeek(status));
}

std::string dayString(Date value)
{
    const std::tm tm = localTm(value);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &tm);
    return text;
}

} // namespace kestrove::Calendar
