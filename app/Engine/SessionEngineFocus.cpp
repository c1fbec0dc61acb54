// Starting, changing and ending focus tasks.
#include "Engine/SessionEngine.h"

#include "Engine/AppAllowlistPresets.h"
#include "Engine/FocusBridge.h"
#include "Engine/LockInDisplay.h"
#include "Engine/LockdownEnforcer.h"
#include "Engine/MorningGateController.h"
#include "Engine/NotificationPresenter.h"
#include "Platform/Clock.h"
#include "Platform/MainThread.h"
#include "core/Text.h"
#include "core/Uuid.h"

#include <algorithm>

namespace kestrove {

void SessionEngine::startFocusTask(FocusTask task)
{
    assertMainThread();
    m_log.info("startFocusTask name=" + Log::privateValue(task.name) +
               " lockdown=" + (task.isLockdown ? "1" : "0"));
    // A task that still runs is ended and recorded first, so that none vanishes unrecorded
    // and no lockdown stays engaged with nothing left to end it.
    if (m_focusTaskManager.active()) {
        endFocusTask(FocusTask::EndReason::completed);
    }
    m_focusTaskManager.start(task);
    m_services.notifications.requestAuthorizationIfNeeded();
    if (task.isLockdown) {
        m_services.allowlistPresets.rememberLastUsed(task.allowedBundleIDs);
        const auto allowlist = m_services.allowlistPresets.merged(task.allowedBundleIDs);
        if (!allowlist.empty()) {
            m_services.lockdown.engage(allowlist, LockdownMode::focusTask(task.id));
            m_services.focusBridge.engage();
        } else {
            m_log.error("lockdown refused: empty allowlist, running unenforced");
        }
    }
    showLockInDisplay();
    resample();
    publish(m_pendingRefresh, true);
}

void SessionEngine::showLockInDisplay()
{
    assertMainThread();
    LockInDisplay& display = m_services.lockInDisplay;
    if (!display.isEnabled()) {
        return;
    }
    if (!display.isSetUp()) {
        display.setUp();
    }
    if (display.hasPanel() && !display.isPanelVisible()) {
        display.snapToScreenIfNeeded();
        display.orderFront();
    }
}

bool SessionEngine::startPlannedBlock(const PlannedBlock& block)
{
    assertMainThread();
    if (m_focusTaskManager.active()) {
        return false;
    }
    const std::string name = Text::trimmed(block.task);
    if (name.empty() || !block.hasApps()) {
        return false;
    }
    FocusTask task;
    task.id = Uuid::generate();
    task.name = name;
    task.estimatedSeconds = block.minutes * 60.0;
    for (const std::string& id : block.allowedBundleIDs) {
        task.allowedBundleIDs.push_back(Text::lowercased(id));
    }
    task.startedAt = m_services.clock.now();
    task.isLockdown = !block.isAway();
    task.isAway = block.isAway();
    if (const auto plan = m_dayPlans.today(); plan && block.serves) {
        task.projectName = plan->label(*block.serves);
    }
    const std::string taskID = task.id;
    startFocusTask(std::move(task));
    m_dayPlans.markBlockStarted(block.id, taskID);
    return true;
}

void SessionEngine::startPlannedBlock(const PlannedBlock& block,
                                      const std::vector<std::string>& apps)
{
    assertMainThread();
    if (apps.empty()) {
        return;
    }
    PlannedBlock copy = block;
    copy.allowedBundleIDs = apps;
    m_dayPlans.setBlockApps(block.id, apps);
    startPlannedBlock(copy);
}

void SessionEngine::endFocusTask(FocusTask::EndReason reason, Done done)
{
    assertMainThread();
    const auto& active = m_focusTaskManager.active();
    if (active && active->isLockdown) {
        m_services.lockdown.disengage();
        m_services.focusBridge.disengage();
    }
    tearDownTimeUp();
    if (m_services.lockInDisplay.hasPanel()) {
        m_services.lockInDisplay.orderOut();
    }
    const auto finished = m_focusTaskManager.endActive(reason);
    if (!finished) {
        if (done) {
            done();
        }
        return;
    }
    const bool completed = reason == FocusTask::EndReason::completed;
    m_database.run(
        m_guard,
        [task = *finished, completed](Database& db) { db.insertFocusTask(task, completed); },
        [this, finished = *finished, completed, done](DatabaseResult<void> result) {
            if (!result.ok()) {
                m_log.error(std::string("focus task write error: ") + result.error()->what());
            }
            finishEndedTask(finished, completed, done);
        });
}

void SessionEngine::finishEndedTask(const FocusTask& finished, bool completed, Done done)
{
    m_dayPlans.markBlockFinished(finished.id, finished.cumulativeOnTaskSeconds, completed);
    // A gate that waited for the task can rise now.
    m_services.morningGate.evaluate();
    resample();
    publish(m_pendingRefresh, true);
    m_focusTaskEnded.notify();
    if (done) {
        done();
    }
}

void SessionEngine::extendActiveTask(std::int64_t minutes)
{
    assertMainThread();
    const auto& active = m_focusTaskManager.active();
    if (!active) {
        return;
    }
    FocusTask extended = *active;
    extended.estimatedSeconds =
        extended.cumulativeOnTaskSeconds + static_cast<double>(minutes) * 60.0;
    m_focusTaskManager.replaceActive(std::move(extended));
}

void SessionEngine::tearDownTimeUp()
{
    assertMainThread();
    m_promotedForTimeUp = false;
    publish(m_awaitingTimeUp, false);
    m_services.overlay.hide();
}

void SessionEngine::allowAppDuringLockIn(const std::string& bundleID)
{
    assertMainThread();
    const std::string id = Text::lowercased(bundleID);
    if (id.empty()) {
        return;
    }
    m_services.lockdown.addToAllowlist(id);
    std::vector<std::string> allowed;
    if (const auto& active = m_focusTaskManager.active()) {
        allowed = active->allowedBundleIDs;
        if (std::find(allowed.begin(), allowed.end(), id) == allowed.end()) {
            FocusTask edited = *active;
            edited.allowedBundleIDs.push_back(id);
            allowed = edited.allowedBundleIDs;
            m_focusTaskManager.replaceActive(std::move(edited));
        }
    }
    m_services.allowlistPresets.rememberLastUsed(allowed);
    resample();
    m_log.info("allowed " + id + " mid lock-in");
}

void SessionEngine::disallowAppDuringLockIn(const std::string& bundleID)
{
    assertMainThread();
    const std::string id = Text::lowercased(bundleID);
    if (id.empty()) {
        return;
    }
    m_services.lockdown.removeFromAllowlist(id);
    if (const auto& active = m_focusTaskManager.active()) {
        FocusTask edited = *active;
        if (std::erase_if(edited.allowedBundleIDs, [&](const std::string& allowed) {
                return Text::lowercased(allowed) == id;
            }) > 0) {
            m_services.allowlistPresets.rememberLastUsed(edited.allowedBundleIDs);
            m_focusTaskManager.replaceActive(std::move(edited));
        }
    }
    resample();
    m_log.info("disallowed " + id + " mid lock-in");
}

void SessionEngine::answerTimeUpDone(const std::string& focusTaskID)
{
    assertMainThread();
    const auto& active = m_focusTaskManager.active();
    if (active && active->id == focusTaskID) {
        endFocusTask(FocusTask::EndReason::completed);
    }
}

void SessionEngine::answerTimeUpExtend(const std::string& focusTaskID, std::int64_t minutes)
{
    assertMainThread();
    const auto& active = m_focusTaskManager.active();
    if (active && active->id == focusTaskID) {
        extendActiveTask(minutes);
        tearDownTimeUp();
    }
}

} // namespace kestrove
