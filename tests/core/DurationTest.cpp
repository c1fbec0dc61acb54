#include "core/Duration.h"

#include "core/Calendar.h"
#include "core/DateText.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace kestrove;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct FormCases
{
    const char* name;
    std::string (*form)(double);
    std::vector<std::pair<double, const char*>> cases;
};

std::string heroText(double seconds)
{
    const auto hero = DurationFormat::hero(seconds);
    return hero.value + " " + hero.unit;
}

// Every form at the boundaries where its shape changes, and at inputs without a sensible text.
std::vector<FormCases> allForms()
{
    // clang-format off
    return {
        {"hm", DurationFormat::hm,
         {{0, "0m"}, {0.9, "0m"}, {1, "<1m"}, {59.99, "<1m"}, {60, "1m"}, {3599, "59m"},
          {3600, "1h"}, {3659, "1h"}, {3660, "1h 1m"}, {7325, "2h 2m"}, {35999, "9h 59m"},
          {36000, "10h"}, {90000, "25h"}, {-5, "0m"}, {kNaN, "0m"}, {kInfinity, "0m"},
          {-kInfinity, "0m"}}},
        {"live", DurationFormat::live,
         {{0, "0s"}, {0.9, "0s"}, {1, "1s"}, {59.9, "59s"}, {59.99, "59s"}, {60, "1m 00s"},
          {754, "12m 34s"}, {3599, "59m 59s"}, {3600, "1h 00m"}, {3725, "1h 02m"},
          {35999, "9h 59m"}, {36000, "10h 00m"}, {-1, "0s"}, {kNaN, "0s"}, {kInfinity, "0s"}}},
        {"clock", DurationFormat::clock,
         {{0, "0:00"}, {0.1, "0:01"}, {0.9, "0:01"}, {1, "0:01"}, {59.5, "1:00"},
          {59.99, "1:00"}, {60, "1:00"}, {61, "1:01"}, {3599, "59:59"}, {3600, "60:00"},
          {5400, "90:00"}, {35999, "599:59"}, {36000, "600:00"}, {-0.5, "0:00"},
          {-61, "0:00"}, {kNaN, "0:00"}, {kInfinity, "0:00"}}},
        {"hoursDecimal", DurationFormat::hoursDecimal,
         {{0, "0m"}, {0.9, "0m"}, {1, "0m"}, {59, "0m"}, {59.99, "0m"}, {60, "1m"},
          {3599, "59m"}, {3600, "1.0h"}, {5400, "1.5h"}, {35999, "10.0h"}, {36000, "10h"},
          {43200, "12h"}, {-60, "0m"}, {kNaN, "0m"}, {kInfinity, "0m"}}},
        {"hero", heroText,
         {{0, "0 min"}, {0.9, "0 min"}, {59, "0 min"}, {59.99, "0 min"}, {60, "1 min"},
          {2700, "45 min"}, {3599, "59 min"}, {3600, "1:00 hours"}, {5430, "1:30 hours"},
          {35999, "9:59 hours"}, {36000, "10:00 hours"}, {-3600, "0 min"}, {kNaN, "0 min"},
          {kInfinity, "0 min"}}},
        {"percent", DurationFormat::percent,
         {{0, "0%"}, {0.125, "13%"}, {0.5, "50%"}, {0.994, "99%"}, {0.995, "100%"},
          {1.0, "100%"}, {1.5, "150%"}, {-0.5, "0%"}, {kNaN, "0%"}, {kInfinity, "0%"}}},
    };
    // clang-format on
}

void expectAllForms()
{
    for (const auto& form : allForms()) {
        for (const auto& [input, text] : form.cases) {
            EXPECT_EQ(form.form(input), text) << form.name << "(" << input << ")";
        }
    }
}

} // namespace

TEST(DurationFormat, EveryFormAtItsBoundaries)
{
    expectAllForms();
}

TEST(DurationFormat, CommaDecimalProcessLocaleChangesNothing)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "run scripts/install-deps";
    expectAllForms();
    // Times of day, unlike numbers, follow the user's locale.
    EXPECT_EQ(DateText::userLocale(), "de_DE");
    ScopedTimeZone tz("Europe/Berlin");
    EXPECT_EQ(clockString(Calendar::date(2026, 1, 5, 17, 5)), "17:05");
    std::setlocale(LC_ALL, previous.c_str());
}

TEST(DurationFormat, HugeInputsStayDefined)
{
    // Capped at the largest double below 2^63 seconds.
    EXPECT_EQ(DurationFormat::hm(1e30), "2562047788015215h 13m");
    EXPECT_EQ(DurationFormat::hm(1e300), DurationFormat::hm(1e30));
    EXPECT_EQ(DurationFormat::clock(1e300), "153722867280912913:04");
    EXPECT_EQ(DurationFormat::percent(1e300), "9223372036854774784%");
    EXPECT_EQ(DurationFormat::hoursDecimal(3.6e7), "10000h");
}

TEST(DurationFormat, ClockStringUsesTheLocaleShortTimeStyle)
{
    for (const char* zone : {"Europe/Berlin", "America/New_York"}) {
        ScopedTimeZone tz(zone);
        // The morning after the spring clock change in either zone.
        const Date morning = Calendar::date(2026, 3, 29, 9, 5);
        EXPECT_EQ(clockString(morning, "de_DE"), "09:05") << zone;
        EXPECT_EQ(clockString(morning + 8 * 3600, "en_GB"), "17:05") << zone;
        const std::string us = clockString(morning + 8 * 3600, "en_US");
        EXPECT_EQ(us.rfind("5:05", 0), 0u) << us;
        EXPECT_NE(us.find("PM"), std::string::npos) << us;
    }
    EXPECT_EQ(clockString(kNaN, "de_DE"), "");
}
