// The once-a-second loop and the checks that only it runs.
#include "Engine/SessionEngine.h"

#include "Engine/DesktopServices.h"
#include "Engine/LockdownEnforcer.h"
#include "Engine/NotificationPresenter.h"
#include "Platform/Clock.h"
#include "Platform/MainThread.h"
#include "Platform/Preferences.h"
#include "core/Calendar.h"
#include "core/Duration.h"

namespace kestrove {

namespace {

constexpr double kPinReleaseIdleSeconds = 1200;
constexpr double kCheckInterval = 30;
constexpr double kRefreshInterval = 15;
constexpr std::int64_t kDefaultSummaryMinute = 1110; // 18:30
constexpr double kSummaryMinimumDeepSeconds = 60;
constexpr double kNudgeMinimumSeconds = 1800;
constexpr std::size_t kNudgeProjectLimit = 2;
// The desktop sound theme's event for a finished task.
constexpr const char* kTimeUpSound = "complete";

} // namespace

void SessionEngine::secondTick()
{
    assertMainThread();
    ++m_displayTick;
    const Date now = m_services.clock.now();
    if (!Calendar::isSameDay(m_today.date, now)) {
        startDayChange();
    }
    m_tracker.tick(now);
    if (m_displayTick % 5 == 0) {
        m_permissions.refreshAccessibility();
    }
    if (m_projects.pinnedProjectID() && m_tracker.isIdle() &&
        m_tracker.secondsSinceInput() > kPinReleaseIdleSeconds) {
        m_projects.pin(std::nullopt);
    }
    tickFocusTask(now);
    m_goal.setDeepWorkSecondsToday(liveDeepSecondsToday());
    m_goal.setTotalWorkSecondsToday(liveActiveSecondsToday());
    // The checks judge the day by its figures, so they wait until the day has been read once: a
    // tick that comes first (the start's read is slow) would take the day for empty.
    if (now - m_lastSummaryCheck >= kCheckInterval &&
        m_todaySegments.dayStart() == Calendar::startOfDay(now)) {
        m_lastSummaryCheck = now;
        checkDailySummary(now);
        checkAssignNudge();
    }
    if (now - m_lastRefresh >= kRefreshInterval || m_pendingRefresh) {
        rebuildToday();
    }
    m_secondTicked.notify();
}

void SessionEngine::startDayChange()
{
    // One reset and rebuild at a time: while the database is slow the ticks wait for it
    // instead of queueing one more each second.
    if (m_dayChangeInFlight) {
        return;
    }
    m_dayChangeInFlight = true;
    publish(m_isShutdownComplete, false);
    m_services.preferences.setBool(kIsShutdownKey, false);
    if (m_tracker.appSwitchesToday() != 0) {
        m_tracker.resetAppSwitchesToday();
    }
    // Each step's completion comes back only while the engine lives.
    sweepTitles([this] {
        refreshToday([this] { refreshHistory([this] { m_dayChangeInFlight = false; }); });
    });
}

void SessionEngine::tickFocusTask(Date)
{
    if (!m_focusTaskManager.active()) {
        return;
    }
    const bool onTask = m_tracker.sample().lockIn == LockInState::onTask;
    const bool timeUp = m_focusTaskManager.tick(1.0, onTask, m_tracker.isIdle());
    if (timeUp && !m_awaitingTimeUp) {
        presentTimeUpPrompt();
    }
}

void SessionEngine::presentTimeUpPrompt()
{
    const auto& task = m_focusTaskManager.active();
    if (!task) {
        return;
    }
    publish(m_awaitingTimeUp, true);
    if (!task->isLockdown) {
        // On this desktop a tray application has no separate foreground mode; the flag keeps
        // the prompt's state for tearDownTimeUp.
        m_promotedForTimeUp = true;
    }
    m_services.desktop.playSound(kTimeUpSound);
    m_services.notifications.postTimeUp(task->name, task->id);
    m_services.overlay.showTimeUp(
        task->name, m_guard.wrap<>([this] { endFocusTask(FocusTask::EndReason::completed); }),
        m_guard.wrap<long long>([this](long long minutes) {
            extendActiveTask(minutes);
            tearDownTimeUp();
        }));
}

bool SessionEngine::summaryEnabled() const
{
    return m_services.preferences.boolValue(kSummaryEnabledKey).value_or(true);
}

void SessionEngine::checkDailySummary(Date now)
{
    if (!summaryEnabled()) {
        return;
    }
    const std::int64_t minute = Calendar::hour(now) * 60 + Calendar::minute(now);
    std::int64_t threshold = m_services.preferences.integer(kSummaryMinuteKey).value_or(0);
    if (threshold <= 0) {
        threshold = kDefaultSummaryMinute;
    }
    if (minute < threshold) {
        return;
    }
    const std::string key = Calendar::dayString(now);
    if (m_services.preferences.string(kLastSummaryPostedKey) == key) {
        return;
    }
    // The day counts as handled from here, whether or not a notification follows.
    m_services.preferences.setString(kLastSummaryPostedKey, key);
    if (m_today.deepSeconds < kSummaryMinimumDeepSeconds) {
        return;
    }
    std::string body = DurationFormat::hm(liveDeepSecondsToday()) + " of deep work";
    if (const auto top = m_today.topProject()) {
        body += " · " + DurationFormat::percent(top->seconds / m_today.deepSeconds) + " on " +
                top->name;
    }
    if (const auto longest = m_today.longestBlock()) {
        body += " · longest block " + DurationFormat::hm(longest->deepSeconds);
    }
    NotificationPresenter& notifications = m_services.notifications;
    notifications.requestAuthorizationIfNeeded(
        [&notifications, body] { notifications.postDailySummary(body); });
}

void SessionEngine::checkAssignNudge()
{
    if (m_services.preferences.boolValue(kAssignNudgeShownKey).value_or(false)) {
        return;
    }
    const TimeShare* unassigned = nullptr;
    for (const TimeShare& row : m_today.byProject) {
        if (row.name == DaySummary::kUnassignedLabel) {
            unassigned = &row;
            break;
        }
    }
    if (!unassigned || unassigned->seconds < kNudgeMinimumSeconds) {
        return;
    }
    if (m_projects.activeProjects().size() > kNudgeProjectLimit) {
        return;
    }
    m_services.preferences.setBool(kAssignNudgeShownKey, true);
    const std::string hint =
        m_today.unassignedHints.empty() ? std::string() : m_today.unassignedHints.front().name;
    const auto minutes = static_cast<std::int64_t>(unassigned->seconds / 60);
    NotificationPresenter& notifications = m_services.notifications;
    notifications.requestAuthorizationIfNeeded(
        [&notifications, minutes, hint] { notifications.postAssignNudge(minutes, hint); });
}

} // namespace kestrove
