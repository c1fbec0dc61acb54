#pragma once

#include "ViewLogic/Shell/DashboardNavigation.h"
#include "core/Date.h"

#include <optional>
#include <string>

namespace kestrove {

// What one "kestrove:" link asks for. Links only select and open; they never change data.
struct UrlRoute
{
    enum class Target
    {
        nothing,
        dashboard,  // show the dashboard on `section`
        planEditor, // open the day-plan editor; the dashboard is not shown
    };
    enum class Day
    {
        keep,     // leave the today page's day as it was
        today,    // back to today, live
        selected, // the day in `day`
    };

    Target target = Target::nothing;
    DashboardSection section = DashboardSection::today;
    bool showShare = false;
    Day daySelection = Day::keep;
    Date day = 0;

    bool operator==(const UrlRoute&) const = default;
};

// Reads a link's text. The scheme must be exactly "kestrove" (letter case included); the host
// is lower-cased; "date" (yyyy-MM-dd, read for "dashboard" and "today") selects a past or
// present day, and a date that does not parse or lies after `now`'s day is ignored.
UrlRoute route(const std::string& text, Date now);

// The link as it may be logged: without its query, which can carry a user's values.
std::string loggableUrl(const std::string& text);

} // namespace kestrove
