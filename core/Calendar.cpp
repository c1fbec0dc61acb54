#include "core/Calendar.h"

#include <unicode/calendar.h>
#include <unicode/locid.h>

#include <cmath>
#include <ctime>
#include <memory>

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

std::time_t makeTime(std::tm tm)
{
    tm.tm_isdst = -1;
    return std::mktime(&tm);
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

    // Try the time as standard time and as daylight time: mktime's guess for an ambiguous
    // or missing local time is unspecified, so pick deliberately.
    std::time_t best = -1;
    bool found = false;
    for (int isDst : {0, 1}) {
        std::tm tm = wanted;
        tm.tm_isdst = isDst;
        const std::time_t t = std::mktime(&tm);
        const std::tm back = localTm(static_cast<Date>(t));
        const bool exact = back.tm_hour == hour && back.tm_min == minute &&
                           back.tm_mday == tm.tm_mday && back.tm_sec == second;
        if (exact && (!found || t < best)) {
            best = t;
            found = true;
        }
    }
    if (found) {
        return static_cast<Date>(best);
    }
    // Not a local time (skipped by a clock change): the first instant after the gap.
    const std::time_t guess = makeTime(wanted);
    std::time_t lo = guess - 3 * 3600;
    std::time_t hi = guess + 3 * 3600;
    std::tm target = wanted;
    target.tm_isdst = 0;
    // Compare local wall times as if they were UTC to find the first instant at or after it.
    const std::time_t wantedWall = timegm(&target);
    auto wallOf = [](std::time_t t) {
        std::tm tm = localTm(static_cast<Date>(t));
        return timegm(&tm);
    };
    while (hi - lo > 1) {
        const std::time_t mid = lo + (hi - lo) / 2;
        if (wallOf(mid) >= wantedWall) {
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
