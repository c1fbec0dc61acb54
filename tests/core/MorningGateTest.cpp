#include "core/MorningGate.h"

#include "core/Calendar.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

const std::string kWaiting = "Waiting for 06:00. Working before then is free.";
const std::string kArmed = "Armed. The computer is walled off until the 1-2-3 is filled in.";

} // namespace

TEST(MorningGateConfig, ClampsAndDefaults)
{
    const MorningGateConfig high(true, 25, -5, {});
    EXPECT_EQ(high.startHour, 23);
    EXPECT_EQ(high.startMinute, 0);
    EXPECT_TRUE(high.runsEveryDay());
    const MorningGateConfig low(true, -1, 75, {0, 9});
    EXPECT_EQ(low.startHour, 0);
    EXPECT_EQ(low.startMinute, 59);
    EXPECT_EQ(low.activeWeekdays, (std::set<int>{0, 9}));
    EXPECT_FALSE(MorningGateConfig(true, 6, 0, {1, 2, 3, 4, 5, 6}).runsEveryDay());

    EXPECT_FALSE(MorningGateConfig::defaultConfig().enabled);
    EXPECT_EQ(MorningGateConfig(true, 9, 5, {}).startLabel(), "09:05");
    EXPECT_EQ(MorningGateConfig(true, 9, 5, {}).startMinuteOfDay(), 545);
}

TEST(MorningGateConfig, JsonKeepsStoredValuesAndRequiresEveryKey)
{
    const MorningGateConfig config(true, 7, 30, {2, 3, 4, 5, 6});
    EXPECT_EQ(config.toJson().dump(),
              R"({"enabled":true,"startHour":7,"startMinute":30,"activeWeekdays":[2,3,4,5,6]})");
    EXPECT_EQ(MorningGateConfig::fromJson(config.toJson()), config);
    const auto raw = MorningGateConfig::fromJson(JsonCoding::parse(
        R"({"enabled":false,"startHour":30,"startMinute":-2,"activeWeekdays":[]})"));
    EXPECT_EQ(raw.startHour, 30);
    EXPECT_EQ(raw.startMinute, -2);
    EXPECT_TRUE(raw.activeWeekdays.empty());
    for (const char* key : {"enabled", "startHour", "startMinute", "activeWeekdays"}) {
        auto broken = config.toJson();
        broken.erase(key);
        EXPECT_THROW(MorningGateConfig::fromJson(broken), JsonCoding::DecodeError) << key;
    }
    auto strings = config.toJson();
    strings["activeWeekdays"] = {"2"};
    EXPECT_THROW(MorningGateConfig::fromJson(strings), JsonCoding::DecodeError);
}

TEST(MorningGate, DecisionsAndSentences)
{
    ScopedTimeZone tz("Europe/Berlin");
    const MorningGateConfig everyDay(true, 6, 0, {});
    const MorningGateConfig weekdays(true, 6, 0, {2, 3, 4, 5, 6});
    const Date monday = Calendar::date(2026, 1, 5, 6);
    const Date saturdayNoon = Calendar::date(2026, 1, 10, 12);
    struct Case
    {
        Date now;
        MorningGateConfig config;
        bool completed;
        bool skipped;
        const std::string text;
    };
    const std::vector<Case> cases = {
        {monday - 1, everyDay, false, false, kWaiting},
        {monday, everyDay, false, false, kArmed},
        {monday + 3600, MorningGateConfig::defaultConfig(), true, false,
         "Off. The day is never walled off."},
        {monday + 3600, everyDay, true, true, "Today is planned. The wall is down until tomorrow."},
        {monday + 3600, everyDay, false, true, "You released the wall today. It returns tomorrow."},
        {saturdayNoon, weekdays, false, false,
         "Not one of the gate's days. Nothing happens today."},
        {saturdayNoon + 2 * 86400, weekdays, false, false, kArmed},
        {Calendar::date(2026, 1, 5, 9, 4), MorningGateConfig(true, 9, 5, {}), false, false,
         "Waiting for 09:05. Working before then is free."}};
    for (const auto& c : cases) {
        EXPECT_EQ(MorningGate::explain(c.now, c.config, c.completed, c.skipped), c.text);
        EXPECT_EQ(MorningGate::shouldArm(c.now, c.config, c.completed, c.skipped), c.text == kArmed)
            << c.text;
    }
}

TEST(MorningGate, StartsAtTheWallClockTimeOnClockChangeDays)
{
    // The spring and autumn changes of 2026 in both zones.
    const std::tuple<const char*, int, int> days[] = {{"Europe/Berlin", 3, 29},
                                                      {"Europe/Berlin", 10, 25},
                                                      {"America/New_York", 3, 8},
                                                      {"America/New_York", 11, 1}};
    for (const auto& [zone, month, day] : days) {
        ScopedTimeZone tz(zone);
        const MorningGateConfig config(true, 6, 0, {});
        const Date six = Calendar::date(2026, month, day, 6);
        EXPECT_EQ(MorningGate::startTime(six + 5 * 3600, config), six) << zone;
        EXPECT_FALSE(MorningGate::shouldArm(six - 1, config, false, false)) << zone;
        EXPECT_TRUE(MorningGate::shouldArm(six, config, false, false)) << zone;
    }
    // 02:30 does not exist on the Berlin spring day: the gate opens at the first minute after.
    ScopedTimeZone tz("Europe/Berlin");
    const Date start =
        MorningGate::startTime(Calendar::date(2026, 3, 29, 12), MorningGateConfig(true, 2, 30, {}));
    EXPECT_EQ(Calendar::hour(start), 3);
    EXPECT_EQ(Calendar::minute(start), 0);
}
