#include "Engine/SessionEngine.h"

#include "Engine/AppAllowlistPresets.h"
#include "Engine/DesktopServices.h"
#include "Engine/LockdownEnforcer.h"
#include "Engine/MorningGateController.h"
#include "Platform/Clock.h"
#include "Platform/MainThread.h"
#include "Platform/Preferences.h"
#include "Platform/Scheduler.h"
#include "core/Calendar.h"
#include "core/ContextClassifier.h"

#include <limits>
#include <set>
#include <utility>

namespace kestrove {

namespace {

constexpr double kDistantPast = -std::numeric_limits<double>::infinity();

} // namespace

SessionEngine::SessionEngine(Services services, std::string databasePath)
    : m_services(services), m_tracker(services.tracker), m_goal(services.preferences),
      m_permissions(services.workspace, services.scheduler),
      m_focusTaskManager(services.preferences, services.clock),
      m_projects(services.preferences, services.clock), m_privacy(services.preferences),
      m_dayPlans(services.preferences, services.clock),
      m_database(services.mainQueue, std::move(databasePath), services.clock),
      m_today(DaySummary::empty(Calendar::startOfDay(services.clock.now()))),
      m_todayBuiltAt(services.clock.now()), m_lastRefresh(kDistantPast),
      m_lastSummaryCheck(kDistantPast)
{}

SessionEngine::~SessionEngine()
{
    m_displayTimer.reset();
    // The sampler and the blocker outlive the engine: they must not call back into it.
    m_tracker.lockInProvider = nullptr;
    m_tracker.onSegmentClosed = nullptr;
    m_tracker.onGapRecorded = nullptr;
    m_services.lockdown.setOnBlock({});
}

void SessionEngine::start(Done done)
{
    assertMainThread();
    if (m_isRunning) {
        if (done) {
            done();
        }
        return;
    }
    // Starting before running, so that no observer takes the engine for started meanwhile.
    m_starting = true;
    publish(m_isRunning, true);
    restoreShutdownFlag();
    openDatabase([this, done] {
        wireComponents();
        finishStart(done);
    });
}

void SessionEngine::openDatabase(Done next)
{
    m_database.run(
        m_guard, [](Database& db) { db.open(); },
        [this](DatabaseResult<void> result) {
            m_databaseUnavailable = !result.ok();
            if (!result.ok()) {
                m_log.error(std::string("DB open error: ") + result.error()->what() +
                            " (nothing is recorded until then)");
            }
        });
    m_database.run(
        m_guard, [](Database& db) { return db.accurateSince(); },
        [this](DatabaseResult<std::optional<Date>> result) {
            publish(m_accurateSince, result.ok() ? result.value() : std::optional<Date>());
        });
    const std::set<std::string> browsers(ContextClassifier::browserBundleIDs.begin(),
                                         ContextClassifier::browserBundleIDs.end());
    const std::set<std::string> privateIDs = m_privacy.policy().privateBundleIDs();
    m_database.run([browsers, privateIDs](Database& db) {
        db.applyPrivacyPolicyIfNeeded(browsers, privateIDs);
    });
    sweepTitles();
    // A lockdown left running by the previous run is recorded as crashed, never resumed.
    if (auto stale = m_focusTaskManager.staleLockdownTask()) {
        FocusTask task = *stale;
        task.endedReason = FocusTask::EndReason::crashed;
        task.endedAt = m_services.clock.now();
        m_focusTaskManager.clearStaleLockdownTask();
        m_database.run([task](Database& db) { db.insertFocusTask(task, false); });
    }
    // Jobs run in the order they were sent: this one comes back after all of the above.
    m_database.run(
        m_guard, [](Database&) {}, [next](DatabaseResult<void>) { next(); });
}

void SessionEngine::logDatabaseFailure(std::string_view what, const DatabaseError& error) const
{
    // The open failure was logged once with its reason; every job after it fails the same way.
    if (m_databaseUnavailable && error.isNoConnection()) {
        return;
    }
    m_log.error(std::string(what) + error.what());
}

std::int64_t SessionEngine::idleThresholdMinutes() const
{
    const std::int64_t minutes = m_services.preferences.integer(kIdleThresholdKey).value_or(0);
    return minutes > 0 ? minutes : static_cast<std::int64_t>(Tracker::kDefaultIdleThreshold / 60.0);
}

void SessionEngine::wireComponents()
{
    m_tracker.setIdleThreshold(static_cast<double>(idleThresholdMinutes()) * 60.0);
    applyProjectConfig();
    m_projects.onChange = [this] {
        applyProjectConfig();
        resample();
        // A renamed or deleted project may have moved stored segments.
        m_todaySegments.invalidate();
        publish(m_pendingRefresh, true);
    };
    m_tracker.setPolicy(m_privacy.policy());
    m_privacy.onChange = [this] {
        m_tracker.setPolicy(m_privacy.policy());
        resample();
        sweepTitles();
    };
    m_tracker.lockInProvider = [this](const ContextSample& sample) { return lockInInfo(sample); };
    m_tracker.onSegmentClosed = [this](const Segment& closed) {
        m_todaySegments.add(closed);
        publish(m_pendingRefresh, true);
    };
    m_tracker.onGapRecorded = [this](const Segment& gap) { m_todaySegments.add(gap); };
    m_tracker.start(m_database);
    m_services.lockdown.setOnBlock([this](const std::string& bundleID, const std::string& taskID) {
        // The blocker may report from outside the main thread.
        m_services.mainQueue.post(
            m_guard.wrap<>([this, bundleID, taskID] { recordLockdownBlock(bundleID, taskID); }));
    });
    m_displayTimer = m_services.scheduler.repeating(1.0, [this] { secondTick(); });
    m_permissions.refreshAccessibility();
}

void SessionEngine::finishStart(Done done)
{
    refreshToday([this, done] {
        refreshHistory([this, done] {
            m_dayPlans.setDatabase(&m_database);
            m_dayPlans.reload([this, done] {
                m_services.morningGate.start(m_dayPlans);
                m_log.info("engine started");
                m_starting = false;
                // Pages that read the database wait for this.
                notifyChanged();
                if (done) {
                    done();
                }
                if (m_deferredStop) {
                    stop(std::exchange(m_deferredStop, {}));
                }
            });
        });
    });
}

void SessionEngine::stop(Done done)
{
    assertMainThread();
    if (!m_isRunning) {
        if (done) {
            done();
        }
        return;
    }
    if (m_starting) {
        // A stop asked for during the start runs once the start is complete, so that nothing
        // the start installs is left behind.
        m_deferredStop = [first = std::move(m_deferredStop), done] {
            if (first) {
                first();
            }
            if (done) {
                done();
            }
        };
        return;
    }
    m_displayTimer.reset();
    m_tracker.stop();
    m_database.run(
        m_guard, [](Database& db) { db.close(); },
        [this, done](DatabaseResult<void>) {
            publish(m_isRunning, false);
            if (done) {
                done();
            }
        });
}

void SessionEngine::pauseTracking(std::optional<std::int64_t> minutes)
{
    assertMainThread();
    std::optional<Date> until;
    if (minutes) {
        until = m_services.clock.now() + static_cast<double>(*minutes) * 60.0;
    }
    m_tracker.pause(until);
    publish(m_pendingRefresh, true);
}

void SessionEngine::resumeTracking()
{
    assertMainThread();
    m_tracker.resume();
    publish(m_pendingRefresh, true);
}

void SessionEngine::requestRefresh()
{
    assertMainThread();
    m_todaySegments.invalidate();
    publish(m_pendingRefresh, true);
}

void SessionEngine::setIdleThresholdMinutes(std::int64_t minutes)
{
    assertMainThread();
    m_services.preferences.setInteger(kIdleThresholdKey, minutes);
    m_tracker.setIdleThreshold(static_cast<double>(minutes) * 60.0);
}

void SessionEngine::setBlockGraceMinutes(std::int64_t minutes)
{
    assertMainThread();
    m_services.preferences.setInteger(kBlockGraceKey, minutes);
    publish(m_pendingRefresh, true);
}

void SessionEngine::restoreShutdownFlag()
{
    assertMainThread();
    const auto shutdownDate = m_services.preferences.string(kShutdownDateKey);
    if (!shutdownDate) {
        return;
    }
    if (*shutdownDate == todayKey() &&
        m_services.preferences.boolValue(kIsShutdownKey).value_or(false)) {
        publish(m_isShutdownComplete, true);
    }
}

std::string SessionEngine::todayKey() const
{
    return Calendar::dayString(m_services.clock.now());
}

void SessionEngine::sweepTitles(Done done)
{
    const auto cutoff = m_privacy.policy().titleCutoff(m_services.clock.now());
    if (!cutoff) {
        if (done) {
            done();
        }
        return;
    }
    m_database.run(
        m_guard, [cutoff](Database& db) { db.eraseTitles(*cutoff); },
        [done](DatabaseResult<void>) {
            if (done) {
                done();
            }
        });
}

void SessionEngine::applyProjectConfig()
{
    assertMainThread();
    const auto& overrides = m_projects.overrides();
    m_tracker.setClassifier(
        ContextClassifier(ContextClassifier::Overrides(overrides.begin(), overrides.end()),
                          std::string(kOwnBundleID)));
    m_tracker.setResolver(ProjectResolver(m_projects.projects()));
    m_tracker.setPinnedProjectID(m_projects.pinnedProjectID());
}

void SessionEngine::resample()
{
    m_tracker.setForceSplit(true);
    m_tracker.tick(m_services.clock.now());
}

Tracker::LockInInfo SessionEngine::lockInInfo(const ContextSample& sample) const
{
    const auto& task = m_focusTaskManager.active();
    if (!task) {
        return Tracker::LockInInfo::none();
    }
    LockInState state;
    if (task->isAway.value_or(false)) {
        state = LockInState::away;
    } else if (task->isLockdown && m_services.lockdown.isEngaged() &&
               m_services.lockdown.isAllowed(sample.bundleID)) {
        state = LockInState::onTask;
    } else {
        state =
            task->matches(sample.bundleID, sample.url) ? LockInState::onTask : LockInState::offTask;
    }
    return {state, task->id, task->projectID};
}

void SessionEngine::recordLockdownBlock(const std::string& bundleID, const std::string& taskID)
{
    assertMainThread();
    if (const auto& active = m_focusTaskManager.active(); active && active->id == taskID) {
        FocusTask counted = *active;
        counted.breakoutAttempts += 1;
        m_focusTaskManager.replaceActive(std::move(counted));
    }
    const Date now = m_services.clock.now();
    m_database.run(
        [taskID, now, bundleID](Database& db) { db.recordLockdownBlock(taskID, now, bundleID); });
}

std::optional<std::string> SessionEngine::bundleIDForAppName(const std::string& name)
{
    for (const RunningApplication& app : m_services.desktop.runningApplications()) {
        if (app.name == name) {
            return app.bundleID;
        }
    }
    return std::nullopt;
}

} // namespace kestrove
