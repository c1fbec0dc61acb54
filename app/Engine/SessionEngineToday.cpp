// Today's summary, the recent days and the figures that move every second.
#include "Engine/SessionEngine.h"

#include "Intents/FocusStateMonitor.h"
#include "Platform/Clock.h"
#include "Platform/MainThread.h"
#include "Platform/Preferences.h"
#include "core/Calendar.h"
#include "core/ContextClassifier.h"
#include "core/Duration.h"
#include "core/NumberFormat.h"

#include <algorithm>
#include <memory>

namespace kestrove {

namespace {

constexpr double kMinBlockSeconds = 300;
constexpr int kHistoryDays = 90;
constexpr std::size_t kRecentDays = 14;

} // namespace

double SessionEngine::blockGraceSeconds(const Preferences& preferences)
{
    const std::int64_t minutes = preferences.integer(kBlockGraceKey).value_or(0);
    return static_cast<double>(minutes > 0 ? minutes : 3) * 60.0;
}

void SessionEngine::refreshToday(Done done)
{
    assertMainThread();
    // Whatever is kept, the day is read again: callers come here after history changed.
    m_todaySegments.invalidate();
    if (m_refreshInFlight) {
        // The running rebuild goes on; the next tick starts one more.
        publish(m_pendingRefresh, true);
        if (done) {
            done();
        }
        return;
    }
    m_refreshInFlight = true;
    publish(m_pendingRefresh, false);

    const Date now = m_services.clock.now();
    const Date dayStart = Calendar::startOfDay(now);
    const Date dayEnd = Calendar::addingDays(dayStart, 1);
    // The open segment is counted from memory. Its row id is known once its insert has run,
    // which is before this read runs.
    std::shared_ptr<Tracker::Handle> open;
    if (m_tracker.open()) {
        open = m_tracker.openHandle();
    }
    m_todaySegments.readSent();
    using Rows = std::shared_ptr<std::vector<Segment>>;
    m_database.run(
        m_guard,
        [dayStart, dayEnd, open](Database& db) {
            // Only the columns the figures use; shared, so that the rows are not copied on
            // their way to the main thread.
            return std::make_shared<std::vector<Segment>>(
                db.summarySegments(dayStart, dayEnd, open ? open->id() : std::nullopt));
        },
        [this, dayStart, now, done](DatabaseResult<Rows> result) {
            if (result.ok()) {
                m_todaySegments.readFinished(dayStart, std::move(*result.value()));
                buildToday(now);
            } else {
                m_todaySegments.readFailed();
                logDatabaseFailure("refreshToday failed: ", *result.error());
            }
            m_refreshInFlight = false;
            if (done) {
                done();
            }
        });
}

void SessionEngine::rebuildToday()
{
    if (m_refreshInFlight) {
        publish(m_pendingRefresh, true);
        return;
    }
    const Date now = m_services.clock.now();
    if (!m_todaySegments.covers(Calendar::startOfDay(now))) {
        refreshToday();
        return;
    }
    publish(m_pendingRefresh, false);
    buildToday(now);
}

void SessionEngine::buildToday(Date now)
{
    const FocusBlockBuilder builder{blockGraceSeconds(m_services.preferences), kMinBlockSeconds};
    m_todaySegments.withOpen(m_tracker.open(), now, [&](const std::vector<Segment>& segments) {
        m_today =
            DaySummary::build(m_todaySegments.dayStart(), segments, m_projects.projects(), builder);
        m_liveBlock = builder.liveBlock(segments, now);
    });
    m_todayBuiltAt = now;
    m_lastRefresh = now;
    m_goal.setDeepWorkSecondsToday(m_today.deepSeconds);
    m_goal.setTotalWorkSecondsToday(m_today.activeSeconds());
    notifyChanged();
    m_services.focusMonitor.update(sessionPhase());
}

void SessionEngine::refreshHistory(Done done)
{
    assertMainThread();
    const Date todayStart = Calendar::startOfDay(m_services.clock.now());
    const Date from = Calendar::addingDays(todayStart, -kHistoryDays);
    m_database.run(
        m_guard, [from, todayStart](Database& db) { return db.dayTotals(from, todayStart); },
        [this, todayStart, done](DatabaseResult<std::vector<DayTotal>> result) {
            if (!result.ok()) {
                logDatabaseFailure("refreshHistory failed: ", *result.error());
            } else {
                const auto& totals = result.value();
                const std::size_t first =
                    totals.size() > kRecentDays ? totals.size() - kRecentDays : 0;
                publish(m_recentDays, std::vector<DayTotal>(
                                          totals.begin() + static_cast<long>(first), totals.end()));
                std::vector<Date> goalDays;
                const double goalSeconds = m_goal.dailyGoalHours() * 3600.0;
                for (const DayTotal& total : totals) {
                    if (total.deepSeconds >= goalSeconds) {
                        goalDays.push_back(total.date);
                    }
                }
                if (m_goal.isGoalAchieved()) {
                    goalDays.push_back(todayStart);
                }
                publish(m_streak, Streak::compute(goalDays, todayStart));
            }
            if (done) {
                done();
            }
        });
}

double SessionEngine::extraOpenSeconds(Date now) const
{
    const auto& open = m_tracker.open();
    if (!open) {
        return 0;
    }
    return std::max(0.0, now - std::max(m_todayBuiltAt, open->start));
}

double SessionEngine::liveDeepSecondsToday() const
{
    const auto& open = m_tracker.open();
    const bool deep = open && open->kind == ContextKind::deep;
    return m_today.deepSeconds + (deep ? extraOpenSeconds(m_services.clock.now()) : 0);
}

double SessionEngine::liveActiveSecondsToday() const
{
    const auto& open = m_tracker.open();
    const bool active = open && open->kind != ContextKind::idle;
    return m_today.activeSeconds() + (active ? extraOpenSeconds(m_services.clock.now()) : 0);
}

double SessionEngine::liveSessionSeconds() const
{
    const auto& open = m_tracker.open();
    const bool deep = open && open->kind == ContextKind::deep;
    return (m_liveBlock ? m_liveBlock->deepSeconds : 0) +
           (deep ? extraOpenSeconds(m_services.clock.now()) : 0);
}

SessionPhase SessionEngine::sessionPhase() const
{
    if (m_tracker.isIdle()) {
        return SessionPhase::idle;
    }
    return SessionPhases::from(liveSessionSeconds());
}

std::optional<double> SessionEngine::distractionSecondsRemaining() const
{
    if (!m_liveBlock || m_liveBlock->deepSeconds < kMinBlockSeconds || m_tracker.isIdle() ||
        m_tracker.kind() == ContextKind::deep) {
        return std::nullopt;
    }
    const double remaining =
        blockGraceSeconds(m_services.preferences) - (m_services.clock.now() - m_liveBlock->end);
    if (remaining > 0) {
        return remaining;
    }
    return std::nullopt;
}

bool SessionEngine::isAwayBlock() const
{
    const auto& task = m_focusTaskManager.active();
    return task && task->isAway.value_or(false);
}

std::string SessionEngine::projectDisplayName() const
{
    if (const auto& project = m_tracker.project()) {
        return project->name;
    }
    if (const auto& hint = m_tracker.detectedHint()) {
        return *hint;
    }
    return m_tracker.sample().appName;
}

std::string SessionEngine::currentExplanation() const
{
    if (m_tracker.isPaused()) {
        return "Paused: nothing is recorded until you resume";
    }
    if (m_tracker.isScreenLocked()) {
        return "Idle: screen locked";
    }
    if (m_tracker.isIdle()) {
        return "Idle: no keyboard or mouse for " +
               DurationFormat::hm(m_tracker.secondsSinceInput()) + " (limit " +
               NumberFormat::integer(idleThresholdMinutes()) + " min)";
    }
    const auto& overrides = m_projects.overrides();
    const ContextClassifier classifier(
        ContextClassifier::Overrides(overrides.begin(), overrides.end()),
        std::string(kOwnBundleID));
    std::string explanation = classifier.explain(m_tracker.sample());
    const auto& project = m_tracker.project();
    if (project && m_projects.pinnedProjectID() == project->id) {
        explanation += " · pinned to " + project->name;
    }
    return explanation;
}

std::optional<std::string> SessionEngine::planForToday() const
{
    const auto plan = m_services.preferences.string(kTomorrowPlanKey);
    if (!plan || plan->empty()) {
        return std::nullopt;
    }
    const auto writtenOn = m_services.preferences.string(kTomorrowPlanWrittenOnKey);
    if (!writtenOn || !(*writtenOn < todayKey())) {
        return std::nullopt;
    }
    return plan;
}

} // namespace kestrove
