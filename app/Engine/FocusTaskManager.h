#pragma once

#include "Engine/ChangeObservers.h"
#include "core/FocusTask.h"

#include <optional>

namespace kestrove {

class Clock;
class Preferences;

// Holds the one running focus task: counts its on-task seconds, keeps a copy in the
// preferences so that it survives a restart, and finishes it with an end reason.
class FocusTaskManager
{
public:
    static constexpr const char* kActiveTaskKey = "activeFocusTask";
    static constexpr const char* kAwayKey = "isAway";
    // The running task is saved at most this often while it counts.
    static constexpr double kPersistInterval = 10.0;
    // A saved task this old or older is not restored.
    static constexpr double kMaxRestoreAge = 86400.0;

    // Restores the task left by the previous run: a lockdown task is set aside for the record,
    // a task without lockdown runs on, an old or used-up task is dropped.
    FocusTaskManager(Preferences& preferences, const Clock& clock);

    const std::optional<FocusTask>& active() const { return m_active; }
    bool isAccumulating() const { return m_isAccumulating; }
    const std::optional<FocusTask>& staleLockdownTask() const { return m_staleLockdownTask; }
    void clearStaleLockdownTask() { m_staleLockdownTask.reset(); }
    ChangeObservers& observers() { return m_observers; }

    // Replaces any active task and saves at once.
    void start(FocusTask task);
    // Counts one step; true once the estimate is used up.
    bool tick(double deltaSeconds, bool isOnTask, bool isIdle);
    // Only for an edited copy of the active task (same id); saves at once.
    void replaceActive(FocusTask task);
    // Finishes the active task and forgets the saved copy; nothing when none runs.
    std::optional<FocusTask> endActive(FocusTask::EndReason reason);

private:
    void restore();
    void persist();
    void setAccumulating(bool value);

    Preferences& m_preferences;
    const Clock& m_clock;
    std::optional<FocusTask> m_active;
    bool m_isAccumulating = false;
    std::optional<Date> m_lastPersist;
    std::optional<FocusTask> m_staleLockdownTask;
    ChangeObservers m_observers;
};

} // namespace kestrove
