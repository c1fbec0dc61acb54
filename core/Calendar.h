#pragma once

#include "core/Date.h"

#include <string>

namespace kestrove {

// Calendar arithmetic in the process's time zone (TZ). Days are bounded by local midnight,
// so a day can have 23 or 25 hours.
struct DateComponents
{
    int year = 1970;
    int month = 1; // 1...12
    int day = 1;   // 1...31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 5; // 1 = Sunday ... 7 = Saturday
};

namespace Calendar {

DateComponents components(Date date);

// The instant of the given local time. A time skipped by a clock change gives the first
// instant after the gap; a repeated time gives its first occurrence. Out-of-range fields
// are normalised (day 32 is the first of the next month).
Date date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

Date startOfDay(Date date);
Date startOfHour(Date date);
// The start of the day `days` calendar days after the day of `date` (negative goes back).
Date addingDays(Date date, int days);
// The same local time of day `days` calendar days later.
Date sameTimeAddingDays(Date date, int days);
bool isSameDay(Date a, Date b);

int hour(Date date);
int minute(Date date);
// 1 = Sunday ... 7 = Saturday.
int weekday(Date date);
// The locale's first day of the week (1 = Sunday, 2 = Monday), e.g. "en_US", "de_DE".
int firstWeekday(const std::string& locale = {});

// "yyyy-MM-dd" of the local day.
std::string dayString(Date date);

} // namespace Calendar
} // namespace kestrove
