#include "Engine/GoalTracker.h"

#include "Platform/MainThread.h"
#include "Platform/Preferences.h"
#include "core/Duration.h"
#include "core/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kestrove {

GoalTracker::GoalTracker(Preferences& preferences) : m_preferences(preferences)
{
    const double stored = preferences.doubleValue(kGoalKey).value_or(0);
    m_dailyGoalHours = stored == 0 ? kDefaultGoalHours : stored;
}

void GoalTracker::assign(double& field, double value)
{
    assertMainThread();
    if (field == value) {
        return;
    }
    field = value;
    m_observers.notify();
}

void GoalTracker::setDailyGoalHours(double hours)
{
    assertMainThread();
    assign(m_dailyGoalHours, hours);
    m_preferences.setDouble(kGoalKey, hours);
}

void GoalTracker::setDeepWorkSecondsToday(double seconds)
{
    assertMainThread();
    assign(m_deepWorkSecondsToday, seconds);
}

void GoalTracker::setTotalWorkSecondsToday(double seconds)
{
    assertMainThread();
    assign(m_totalWorkSecondsToday, seconds);
}

double GoalTracker::dailyProgress() const
{
    if (!(goalSeconds() > 0)) {
        return 0;
    }
    return std::min(m_deepWorkSecondsToday / goalSeconds(), 1.0);
}

bool GoalTracker::isGoalAchieved() const
{
    assertMainThread();
    return goalSeconds() > 0 && m_deepWorkSecondsToday >= goalSeconds();
}

std::string GoalTracker::remainingFormatted() const
{
    if (isGoalAchieved()) {
        return "Goal reached";
    }
    return DurationFormat::hm(std::max(goalSeconds() - m_deepWorkSecondsToday, 0.0)) + " left";
}

std::string GoalTracker::goalHoursLabel() const
{
    // A goal beyond the 64-bit range or not finite never comes from the settings; it is
    // labelled with one decimal rather than converted.
    const double hours = m_dailyGoalHours;
    if (std::isfinite(hours) && std::abs(hours) < 9.2e18 &&
        static_cast<double>(static_cast<std::int64_t>(hours)) == hours) {
        return NumberFormat::integer(static_cast<std::int64_t>(hours)) + "h";
    }
    return NumberFormat::fixed(hours, 1) + "h";
}

} // namespace kestrove
