#include "core/Calendar.h"

#include "support/TimeZone.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace kestrove;

TEST(Calendar, DaysAreTwentyThreeAndTwentyFiveHoursAcrossClockChanges)
{
    for (const char* zone : {"Europe/Berlin", "America/New_York"}) {
        ScopedTimeZone tz(zone);
        const bool berlin = std::string(zone) == "Europe/Berlin";
        const Date spring = Calendar::date(2026, 3, berlin ? 29 : 8, 12);
        const Date autumn = Calendar::date(2026, 10 + (berlin ? 0 : 1), berlin ? 25 : 1, 12);
        EXPECT_EQ(Calendar::addingDays(spring, 1) - Calendar::startOfDay(spring), 23 * 3600) << zone;
        EXPECT_EQ(Calendar::addingDays(autumn, 1) - Calendar::startOfDay(autumn), 25 * 3600) << zone;
        EXPECT_EQ(Calendar::addingDays(autumn, -1), Calendar::startOfDay(autumn) - 24 * 3600);
        EXPECT_EQ(Calendar::hour(Calendar::sameTimeAddingDays(spring - 86400 + 3600, 1)), 12);
    }
}

TEST(Calendar, SkippedTimesMoveForwardAndRepeatedTimesTakeTheFirst)
{
    ScopedTimeZone tz("Europe/Berlin");
    // 02:30 does not exist on 2026-03-29: the first instant after the gap is 03:00 CEST.
    const Date skipped = Calendar::date(2026, 3, 29, 2, 30);
    EXPECT_EQ(Calendar::hour(skipped), 3);
    EXPECT_EQ(Calendar::minute(skipped), 0);
    EXPECT_EQ(skipped, Calendar::date(2026, 3, 29, 1, 59, 59) + 1);
    // 02:30 happens twice on 2026-10-25: the first is in summer time (UTC 00:30).
    EXPECT_EQ(Calendar::date(2026, 10, 25, 2, 30), 1792888200.0);
}

TEST(Calendar, EveryLocalTimeOfAYearMapsBackToItsInstant)
{
    // Zones without clock changes, with half-hour changes and with half-hour offsets.
    for (const char* zone :
         {"UTC", "Asia/Tokyo", "Australia/Lord_Howe", "America/St_Johns", "Europe/Berlin"}) {
        ScopedTimeZone tz(zone);
        for (Date t = 1767225600; t < 1767225600 + 366 * 86400; t += 1800) {
            const DateComponents c = Calendar::components(t);
            const Date back = Calendar::date(c.year, c.month, c.day, c.hour, c.minute, c.second);
            const DateComponents d = Calendar::components(back);
            // A repeated wall time gives its first instant.
            EXPECT_TRUE(back == t || (back < t && t - back <= 2 * 3600)) << zone << " " << t;
            EXPECT_EQ(std::tie(d.year, d.month, d.day, d.hour, d.minute),
                      std::tie(c.year, c.month, c.day, c.hour, c.minute))
                << zone << " " << t;
        }
    }
}

TEST(Calendar, FieldsAndTexts)
{
    ScopedTimeZone tz("America/New_York");
    const Date d = Calendar::date(2026, 12, 31, 23, 59, 30) + 0.25;
    EXPECT_EQ(Calendar::dayString(d), "2026-12-31");
    EXPECT_EQ(Calendar::weekday(d), 5); // a Thursday
    EXPECT_EQ(Calendar::startOfHour(d), Calendar::date(2026, 12, 31, 23));
    EXPECT_EQ(Calendar::dayString(Calendar::addingDays(d, 1)), "2027-01-01");
    EXPECT_TRUE(Calendar::isSameDay(d, Calendar::startOfDay(d)));
    EXPECT_FALSE(Calendar::isSameDay(d, d + 31));
    EXPECT_EQ(Calendar::firstWeekday("en_US"), 1);
    EXPECT_EQ(Calendar::firstWeekday("de_DE"), 2);
}
