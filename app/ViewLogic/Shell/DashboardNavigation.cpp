#include "ViewLogic/Shell/DashboardNavigation.h"

#include "core/Calendar.h"

namespace kestrove {

namespace {

template <typename T> bool assign(T& field, T value)
{
    if (field == value) {
        return false;
    }
    field = std::move(value);
    return true;
}

} // namespace

std::string_view rawValue(DashboardSection section)
{
    switch (section) {
    case DashboardSection::today:
        return "today";
    case DashboardSection::week:
        return "week";
    case DashboardSection::projects:
        return "projects";
    case DashboardSection::lockIn:
        return "lockIn";
    case DashboardSection::settings:
        return "settings";
    }
    return "today";
}

void DashboardNavigation::setSection(DashboardSection section)
{
    if (assign(m_section, section)) {
        m_observers.notify();
    }
}

void DashboardNavigation::setShowShare(bool showShare)
{
    if (assign(m_showShare, showShare)) {
        m_observers.notify();
    }
}

void DashboardNavigation::setSelectedDay(std::optional<Date> day)
{
    if (assign(m_selectedDay, day)) {
        m_observers.notify();
    }
}

void DashboardNavigation::open(Date day, Date now)
{
    setSelectedDay(Calendar::isSameDay(day, now) ? std::nullopt
                                                 : std::optional<Date>(Calendar::startOfDay(day)));
    setSection(DashboardSection::today);
}

} // namespace kestrove
