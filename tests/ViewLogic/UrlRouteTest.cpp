#include "ViewLogic/Shell/UrlRoute.h"
#include "core/Calendar.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

UrlRoute page(DashboardSection section, bool share = false)
{
    UrlRoute route;
    route.target = UrlRoute::Target::dashboard;
    route.section = section;
    route.showShare = share;
    return route;
}

UrlRoute todayPage(UrlRoute::Day selection, Date day = 0)
{
    UrlRoute route = page(DashboardSection::today);
    route.daySelection = selection;
    route.day = day;
    return route;
}

} // namespace

TEST(UrlRouteTest, HostsSelectPagesTheEditorOrNothing)
{
    const ScopedTimeZone zone("Europe/Berlin");
    const Date now = Calendar::date(2024, 3, 10, 15, 0);
    UrlRoute editor;
    editor.target = UrlRoute::Target::planEditor;
    const std::pair<const char*, UrlRoute> cases[] = {
        {"kestrove://week", page(DashboardSection::week)},
        {"kestrove://WEEK", page(DashboardSection::week)},
        {"kestrove://projects/ignored/path#frag", page(DashboardSection::projects)},
        {"kestrove://lockin", page(DashboardSection::lockIn)},
        {"kestrove://lock-in", page(DashboardSection::lockIn)},
        {"kestrove://settings", page(DashboardSection::settings)},
        {"kestrove://share", page(DashboardSection::today, true)},
        {"kestrove://card", page(DashboardSection::today, true)},
        {"kestrove://morning", editor},
        {"kestrove://plan?date=2024-03-01", editor},
        {"kestrove://dashboard", todayPage(UrlRoute::Day::today)},
        {"kestrove://nowhere", {}},
        {"kestrove://", {}},
        {"kestrove:week", {}},
        {"Kestrove://week", {}},
        {"KESTROVE://week", {}},
        {"kestrovex://week", {}},
        {"https://week", {}},
        {"week", {}},
        {"", {}},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(route(text, now), expected) << text;
    }
}

TEST(UrlRouteTest, TheDateSelectsAPastOrPresentDayAndBadDatesKeepTheDay)
{
    const ScopedTimeZone zone("America/New_York");
    const Date now = Calendar::date(2024, 3, 10, 15, 0); // a 23-hour day
    const std::pair<const char*, UrlRoute> cases[] = {
        {"kestrove://today?date=2024-03-05",
         todayPage(UrlRoute::Day::selected, Calendar::date(2024, 3, 5))},
        {"kestrove://today?x=1&date=2024-3-5&date=2020-01-01",
         todayPage(UrlRoute::Day::selected, Calendar::date(2024, 3, 5))},
        {"kestrove://today?date=2024-03-10",
         todayPage(UrlRoute::Day::selected, Calendar::date(2024, 3, 10))},
        {"kestrove://today", todayPage(UrlRoute::Day::today)},
        {"kestrove://today?date", todayPage(UrlRoute::Day::today)},
        {"kestrove://today?date=", todayPage(UrlRoute::Day::keep)},
        {"kestrove://today?date=yesterday", todayPage(UrlRoute::Day::keep)},
        {"kestrove://today?date=2024-02-30", todayPage(UrlRoute::Day::keep)},
        {"kestrove://today?date=2024-13-01", todayPage(UrlRoute::Day::keep)},
        {"kestrove://today?date=24-03-05", todayPage(UrlRoute::Day::keep)},
        {"kestrove://today?date=2024-03-11", todayPage(UrlRoute::Day::keep)},
        {"kestrove://today?date=2999-01-01", todayPage(UrlRoute::Day::keep)},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(route(text, now), expected) << text;
    }
}

TEST(UrlRouteTest, TheLoggedLinkLeavesOutItsQuery)
{
    EXPECT_EQ(loggableUrl("kestrove://today?date=2024-03-05"), "kestrove://today");
    EXPECT_EQ(loggableUrl("kestrove://week#x?y"), "kestrove://week");
    EXPECT_EQ(loggableUrl("kestrove://week"), "kestrove://week");
}
