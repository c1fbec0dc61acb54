#include "ViewLogic/Shell/DashboardNavigation.h"
#include "core/Calendar.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

using namespace kestrove;

TEST(DashboardNavigationTest, ObserversAreToldOnlyOfRealChanges)
{
    DashboardNavigation navigation;
    int told = 0;
    const auto subscription = navigation.observers().subscribe([&] { ++told; });
    navigation.setSection(DashboardSection::today);
    navigation.setShowShare(false);
    navigation.setSelectedDay(std::nullopt);
    EXPECT_EQ(told, 0);
    navigation.setSection(DashboardSection::week);
    navigation.setSection(DashboardSection::week);
    navigation.setSelectedDay(1000.0);
    navigation.setSelectedDay(1000.0);
    EXPECT_EQ(told, 2);
}

TEST(DashboardNavigationTest, OpeningADaySelectsItsStartOrTodayAndShowsTheTodayPage)
{
    const ScopedTimeZone zone("Europe/Berlin");
    const Date now = Calendar::date(2024, 3, 31, 12, 0); // a 23-hour day
    DashboardNavigation navigation;
    navigation.setSection(DashboardSection::week);
    navigation.open(Calendar::date(2024, 3, 3, 15, 0), now);
    EXPECT_EQ(navigation.selectedDay(), Calendar::date(2024, 3, 3));
    EXPECT_EQ(navigation.section(), DashboardSection::today);
    navigation.open(Calendar::date(2024, 3, 31, 0, 30), now);
    EXPECT_EQ(navigation.selectedDay(), std::nullopt);
    EXPECT_EQ(rawValue(DashboardSection::lockIn), "lockIn");
}
