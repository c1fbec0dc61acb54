#pragma once

#include "Engine/ChangeObservers.h"
#include "Platform/LifetimeGuard.h"
#include "core/DayPlan.h"
#include "core/MorningGate.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kestrove {

class Clock;
class DatabaseWorker;
class Preferences;

// Today's plan and the morning gate's settings. The plan lives in the database: every change
// updates the plan in memory and tells the observers first, then sends the write. The
// settings live in the preferences under "morningGate.".
class DayPlanStore
{
public:
    static constexpr const char* kEnabledKey = "morningGate.enabled";
    static constexpr const char* kStartHourKey = "morningGate.startHour";
    static constexpr const char* kStartMinuteKey = "morningGate.startMinute";
    static constexpr const char* kActiveWeekdaysKey = "morningGate.activeWeekdays";

    DayPlanStore(Preferences& preferences, const Clock& clock);

    // The plan held, when it is the current day's; a plan of another day is not today's.
    std::optional<DayPlan> today() const;
    void setToday(std::optional<DayPlan> plan);
    const MorningGateConfig& config() const { return m_config; }
    // A different value is written to the preferences at once.
    void setConfig(const MorningGateConfig& config);

    // Set by the engine once the database is open; until then nothing is read or written.
    void setDatabase(DatabaseWorker* database) { m_database = database; }
    // Called after every real change of the plan or of the settings.
    std::function<void()> onChange;
    ChangeObservers& observers() { return m_observers; }

    // Reads today's plan from the database; `done` runs afterwards (at once without one).
    void reload(std::function<void()> done = {});
    bool shouldArmNow() const;
    std::string gateExplanation() const;
    // The plan to edit: today's, or a new empty one.
    DayPlan draft() const;

    void complete(const DayPlan& submitted);
    void markSkipped();
    void setBlockApps(const std::string& blockID, const std::vector<std::string>& apps);
    void markBlockStarted(const std::string& blockID, const std::string& focusTaskID);
    void markBlockFinished(const std::string& focusTaskID, double onTaskSeconds, bool completed);
    void reopenBlock(const std::string& blockID);

private:
    void assignToday(std::optional<DayPlan> plan);
    void save(DayPlan plan);
    void persistConfig();
    void loadConfig();
    void changed();
    // The held plan (of whichever day) with the first block that matches changed, then saved.
    template <typename Match, typename Change> bool changeBlock(Match matches, Change apply);

    Preferences& m_preferences;
    const Clock& m_clock;
    std::optional<DayPlan> m_today;
    MorningGateConfig m_config;
    DatabaseWorker* m_database = nullptr;
    ChangeObservers m_observers;
    LifetimeGuard m_guard;
};

} // namespace kestrove
