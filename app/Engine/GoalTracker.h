#pragma once

#include "Engine/ChangeObservers.h"

#include <string>

namespace kestrove {

class Preferences;

// The daily goal in deep-work hours and today's figures against it. The engine writes today's
// figures; the settings write the goal, which is kept in the preferences at once.
class GoalTracker
{
public:
    static constexpr const char* kGoalKey = "goalHoursPerDay";
    static constexpr double kDefaultGoalHours = 4.0;

    explicit GoalTracker(Preferences& preferences);

    double dailyGoalHours() const { return m_dailyGoalHours; }
    // Stored every time, even when the goal did not change.
    void setDailyGoalHours(double hours);

    double deepWorkSecondsToday() const { return m_deepWorkSecondsToday; }
    void setDeepWorkSecondsToday(double seconds);
    double totalWorkSecondsToday() const { return m_totalWorkSecondsToday; }
    void setTotalWorkSecondsToday(double seconds);

    // Share of the goal reached, 0...1.
    double dailyProgress() const;
    bool isGoalAchieved() const;
    // "Goal reached", or the time still missing followed by " left".
    std::string remainingFormatted() const;
    // "4h", "2.5h".
    std::string goalHoursLabel() const;

    ChangeObservers& observers() { return m_observers; }

private:
    double goalSeconds() const { return m_dailyGoalHours * 3600.0; }
    void assign(double& field, double value);

    Preferences& m_preferences;
    double m_dailyGoalHours;
    double m_deepWorkSecondsToday = 0;
    double m_totalWorkSecondsToday = 0;
    ChangeObservers m_observers;
};

} // namespace kestrove
