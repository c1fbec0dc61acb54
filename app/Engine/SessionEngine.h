#pragma once

#include "Engine/ChangeObservers.h"
#include "Engine/DayPlanStore.h"
#include "Engine/FocusTaskManager.h"
#include "Engine/GoalTracker.h"
#include "Engine/PrivacyStore.h"
#include "Engine/ProjectStore.h"
#include "Engine/TodaySegments.h"
#include "Engine/Tracker.h"
#include "Permissions/PermissionsManager.h"
#include "Platform/LifetimeGuard.h"
#include "Platform/Log.h"
#include "Storage/DatabaseWorker.h"
#include "core/AppIdentity.h"
#include "core/DayPlan.h"
#include "core/DaySummary.h"
#include "core/FocusBlockBuilder.h"
#include "core/FocusTask.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrove {

class AppAllowlistPresets;
class Clock;
class DesktopServices;
class FocusBridge;
class FocusStateMonitor;
class LockInDisplay;
class LockdownEnforcer;
class LockdownOverlayController;
class MainQueue;
class MorningGateController;
class NotificationPresenter;
class Preferences;
class Scheduler;
class Workspace;

// The one orchestrator: it owns the stores, the database and the daily goal, wires the sampler
// to them, runs the once-a-second loop, keeps today's figures current and offers the user's
// operations on focus tasks and on the day. Main thread only; database work goes to the
// database's own thread and comes back through the main queue.
class SessionEngine
{
public:
    using Done = std::function<void()>;
    // Whether a day operation reached the database.
    using Result = std::function<void(bool ok)>;

    static constexpr const char* kIdleThresholdKey = "idleThresholdMinutes";
    static constexpr const char* kBlockGraceKey = "blockGraceMinutes";
    static constexpr const char* kShutdownDateKey = "shutdownDate";
    static constexpr const char* kIsShutdownKey = "isShutdown";
    static constexpr const char* kTomorrowPlanKey = "tomorrowPlan";
    static constexpr const char* kTomorrowPlanWrittenOnKey = "tomorrowPlanWrittenOn";
    static constexpr const char* kSummaryEnabledKey = "summaryEnabled";
    static constexpr const char* kSummaryMinuteKey = "summaryMinuteOfDay";
    static constexpr const char* kLastSummaryPostedKey = "lastSummaryPosted";
    static constexpr const char* kAssignNudgeShownKey = "assignNudgeShown";

    // What the engine works with but does not own: the platform, the sampler and the services
    // of the shell, the lockdown and the rituals.
    struct Services
    {
        const Clock& clock;
        MainQueue& mainQueue;
        Scheduler& scheduler;
        Preferences& preferences;
        Workspace& workspace;
        Tracker& tracker;
        AppAllowlistPresets& allowlistPresets;
        LockdownEnforcer& lockdown;
        LockdownOverlayController& overlay;
        LockInDisplay& lockInDisplay;
        MorningGateController& morningGate;
        NotificationPresenter& notifications;
        FocusBridge& focusBridge;
        FocusStateMonitor& focusMonitor;
        DesktopServices& desktop;
    };

    SessionEngine(Services services, std::string databasePath);
    ~SessionEngine();
    SessionEngine(const SessionEngine&) = delete;
    SessionEngine& operator=(const SessionEngine&) = delete;

    // Components.
    GoalTracker& goal() { return m_goal; }
    PermissionsManager& permissions() { return m_permissions; }
    FocusTaskManager& focusTaskManager() { return m_focusTaskManager; }
    ProjectStore& projects() { return m_projects; }
    PrivacyStore& privacy() { return m_privacy; }
    DayPlanStore& dayPlans() { return m_dayPlans; }
    Tracker& tracker() { return m_tracker; }
    DatabaseWorker& database() { return m_database; }

    // What the windows reach through the engine: the services it was built with.
    LockdownEnforcer& lockdownEnforcer() { return m_services.lockdown; }
    LockdownOverlayController& overlay() { return m_services.overlay; }
    LockInDisplay& lockInDisplay() { return m_services.lockInDisplay; }
    MorningGateController& morningGate() { return m_services.morningGate; }
    AppAllowlistPresets& allowlistPresets() { return m_services.allowlistPresets; }
    NotificationPresenter& notifications() { return m_services.notifications; }
    DesktopServices& desktop() { return m_services.desktop; }
    Preferences& preferences() { return m_services.preferences; }
    const Clock& clock() const { return m_services.clock; }
    Scheduler& scheduler() { return m_services.scheduler; }
    MainQueue& mainQueue() { return m_services.mainQueue; }

    // Published state; views watch observers().
    bool isRunning() const { return m_isRunning; }
    // Running, and done starting: the database is open and the components are wired.
    bool hasStarted() const { return m_isRunning && !m_starting; }
    const DaySummary& today() const { return m_today; }
    Date todayBuiltAt() const { return m_todayBuiltAt; }
    const std::optional<FocusBlock>& liveBlock() const { return m_liveBlock; }
    const std::vector<DayTotal>& recentDays() const { return m_recentDays; }
    const Streak& streak() const { return m_streak; }
    const std::optional<Date>& accurateSince() const { return m_accurateSince; }
    bool isShutdownComplete() const { return m_isShutdownComplete; }
    bool awaitingTimeUp() const { return m_awaitingTimeUp; }
    std::uint64_t displayTick() const { return m_displayTick; }
    bool isRefreshPending() const { return m_pendingRefresh; }
    ChangeObservers& observers() { return m_observers; }
    // Told after a focus task ended and its record was written.
    ChangeObservers& focusTaskEnded() { return m_focusTaskEnded; }
    // Told at the end of every second tick: what shows the live figures redraws in the tick's
    // own wake-up rather than on a timer of its own.
    ChangeObservers& secondTicked() { return m_secondTicked; }

    // Start and stop. A second start while running (or starting) does nothing; `done` runs
    // once the start-up finished, or at once when it did nothing.
    void start(Done done = {});
    // Closes the open segment, lands every queued write and closes the database.
    void stop(Done done = {});

    void pauseTracking(std::optional<std::int64_t> minutes);
    // Ends a pause and samples at once; today's figures are rebuilt at the next tick.
    void resumeTracking();
    // Today's segments are read again and the figures rebuilt at the next tick, whatever the
    // 15 s interval says: for callers that changed the stored history.
    void requestRefresh();
    void setIdleThresholdMinutes(std::int64_t minutes);
    void setBlockGraceMinutes(std::int64_t minutes);
    // The focus-block grace the user chose, in seconds (3 minutes when unset or below 1).
    static double blockGraceSeconds(const Preferences& preferences);
    void restoreShutdownFlag();
    void applyProjectConfig();
    Tracker::LockInInfo lockInInfo(const ContextSample& sample) const;
    void recordLockdownBlock(const std::string& bundleID, const std::string& taskID);

    // Today's figures. Reads today's segments from the database; the ticks rebuild the figures
    // from the segments kept since, and come here only when those no longer cover today.
    void refreshToday(Done done = {});
    void refreshHistory(Done done = {});
    double liveDeepSecondsToday() const;
    double liveActiveSecondsToday() const;
    double liveSessionSeconds() const;
    SessionPhase sessionPhase() const;
    std::optional<double> distractionSecondsRemaining() const;
    bool isAwayBlock() const;
    std::string projectDisplayName() const;
    std::string currentExplanation() const;
    std::optional<std::string> planForToday() const;

    // The second tick; the timer calls it, tests may too.
    void secondTick();
    bool summaryEnabled() const;

    // Focus tasks.
    void startFocusTask(FocusTask task);
    bool startPlannedBlock(const PlannedBlock& block);
    void startPlannedBlock(const PlannedBlock& block, const std::vector<std::string>& apps);
    void endFocusTask(FocusTask::EndReason reason, Done done = {});
    void extendActiveTask(std::int64_t minutes);
    void tearDownTimeUp();
    void allowAppDuringLockIn(const std::string& bundleID);
    // Takes an application the user unticked out of the running task and the lockdown.
    void disallowAppDuringLockIn(const std::string& bundleID);
    // Shows the floating lock-in display unless the user switched it off; a visible one stays
    // where it is.
    void showLockInDisplay();
    // Answers to a time-up notification act only on the task it was posted for.
    void answerTimeUpDone(const std::string& focusTaskID);
    void answerTimeUpExtend(const std::string& focusTaskID, std::int64_t minutes);

    // Day operations.
    void pinProject(std::optional<std::string> projectID);
    void assign(const std::string& hint, const Project& project, Result done = {});
    void completeShutdown(const std::string& plan);
    void resetToday(Result done = {});
    void deleteAllHistory(Result done = {});

private:
    // Writes that leave a value as it was tell nobody, so views do not redraw each second.
    template <typename T> bool publish(T& field, T value)
    {
        if (field == value) {
            return false;
        }
        field = std::move(value);
        notifyChanged();
        return true;
    }
    void notifyChanged() { m_observers.notify(); }

    // Start-up, in its order.
    void openDatabase(Done next);
    // Logs a failed job, except the "no db" of every job after an open that failed.
    void logDatabaseFailure(std::string_view what, const DatabaseError& error) const;
    void wireComponents();
    void finishStart(Done done);
    void sweepTitles(Done done = {});
    std::optional<std::string> bundleIDForAppName(const std::string& name);
    void resample();
    // The stored idle threshold, or the tracker's default when absent or not positive.
    std::int64_t idleThresholdMinutes() const;
    double extraOpenSeconds(Date now) const;
    std::string todayKey() const;

    // Today's summary from the kept segments and the open one.
    void rebuildToday();
    void buildToday(Date now);

    // Second tick.
    void startDayChange();
    void tickFocusTask(Date now);
    void presentTimeUpPrompt();
    void checkDailySummary(Date now);
    void checkAssignNudge();

    // Focus tasks.
    void finishEndedTask(const FocusTask& finished, bool completed, Done done);

    // Day operations.
    void restartTracker(Done done);

    Services m_services;
    Tracker& m_tracker;
    Log m_log{"focus"};

    GoalTracker m_goal;
    PermissionsManager m_permissions;
    FocusTaskManager m_focusTaskManager;
    ProjectStore m_projects;
    PrivacyStore m_privacy;
    DayPlanStore m_dayPlans;
    DatabaseWorker m_database;

    bool m_isRunning = false;
    bool m_starting = false;
    // The last open failed; its error was logged.
    bool m_databaseUnavailable = false;
    Done m_deferredStop;
    DaySummary m_today;
    TodaySegments m_todaySegments;
    Date m_todayBuiltAt;
    std::optional<FocusBlock> m_liveBlock;
    std::vector<DayTotal> m_recentDays;
    Streak m_streak;
    std::optional<Date> m_accurateSince;
    bool m_isShutdownComplete = false;
    bool m_awaitingTimeUp = false;
    std::uint64_t m_displayTick = 0;
    bool m_promotedForTimeUp = false;
    std::unique_ptr<ScheduledTimer> m_displayTimer;
    Date m_lastRefresh;
    bool m_refreshInFlight = false;
    bool m_pendingRefresh = false;
    Date m_lastSummaryCheck;
    // A day change's sweep and rebuild are running; the next tick does not start another.
    bool m_dayChangeInFlight = false;

    ChangeObservers m_observers;
    ChangeObservers m_secondTicked;
    ChangeObservers m_focusTaskEnded;
    // Callbacks that come back after the engine is gone do nothing.
    LifetimeGuard m_guard;
};

} // namespace kestrove
