#pragma once

#include "Engine/ChangeObservers.h"
#include "core/Date.h"

#include <array>
#include <optional>
#include <string_view>

namespace kestrove {

// The dashboard's pages, in sidebar order.
enum class DashboardSection
{
    today,
    week,
    projects,
    lockIn,
    settings
};

inline constexpr std::array<DashboardSection, 5> kAllDashboardSections = {
    DashboardSection::today, DashboardSection::week, DashboardSection::projects,
    DashboardSection::lockIn, DashboardSection::settings};

std::string_view rawValue(DashboardSection section);

// Where the dashboard points: its page, the day the today page shows (absent: today, live)
// and whether the today page should present its share sheet. Outlives the window; setters
// tell the observers only when a value really changes. Main thread only.
class DashboardNavigation
{
public:
    DashboardSection section() const { return m_section; }
    bool showShare() const { return m_showShare; }
    const std::optional<Date>& selectedDay() const { return m_selectedDay; }

    void setSection(DashboardSection section);
    void setShowShare(bool showShare);
    void setSelectedDay(std::optional<Date> day);

    // The today page on the day of `day`: absent when it is today (by `now`), else its start.
    void open(Date day, Date now);

    ChangeObservers& observers() { return m_observers; }

private:
    DashboardSection m_section = DashboardSection::today;
    bool m_showShare = false;
    std::optional<Date> m_selectedDay;
    ChangeObservers m_observers;
};

} // namespace kestrove
