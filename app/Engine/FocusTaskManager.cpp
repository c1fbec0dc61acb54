#include "Engine/FocusTaskManager.h"

#include "Platform/Clock.h"
#include "Platform/MainThread.h"
#include "Platform/Preferences.h"
#include "core/JsonCoding.h"

#include <algorithm>

namespace kestrove {

FocusTaskManager::FocusTaskManager(Preferences& preferences, const Clock& clock)
    : m_preferences(preferences), m_clock(clock)
{
    restore();
}

void FocusTaskManager::restore()
{
    assertMainThread();
    const auto stored = m_preferences.data(kActiveTaskKey);
    if (!stored) {
        return;
    }
    std::optional<FocusTask> task;
    try {
        const auto json = JsonCoding::parse(stored->bytes);
        task = FocusTask::fromJson(json);
        // Kept beside the task's own keys, so that an away block stays one after a restart;
        // older saved tasks have no such key.
        if (json.is_object() && json.contains(kAwayKey) && json[kAwayKey].is_boolean()) {
            task->isAway = json[kAwayKey].get<bool>();
        }
    } catch (const std::exception&) {
        return; // left in place: tried again next time, replaced by the next save
    }
    const double age = m_clock.now() - task->startedAt;
    if (age >= kMaxRestoreAge || task->estimatedSeconds <= task->cumulativeOnTaskSeconds) {
        m_preferences.remove(kActiveTaskKey);
        return;
    }
    if (task->isLockdown) {
        // A lockdown never resumes after a restart; the engine records it as crashed.
        m_staleLockdownTask = std::move(task);
        m_preferences.remove(kActiveTaskKey);
        return;
    }
    m_active = std::move(task);
}

void FocusTaskManager::persist()
{
    assertMainThread();
    if (!m_active) {
        return;
    }
    try {
        auto json = m_active->toJson();
        if (m_active->isAway) {
            json[kAwayKey] = *m_active->isAway;
        }
        m_preferences.setData(kActiveTaskKey, {json.dump()});
    } catch (const std::exception&) {
        // The previous copy stays; the next save tries again.
    }
}

void FocusTaskManager::setAccumulating(bool value)
{
    assertMainThread();
    if (m_isAccumulating == value) {
        return;
    }
    m_isAccumulating = value;
    m_observers.notify();
}

void FocusTaskManager::start(FocusTask task)
{
    assertMainThread();
    m_active = std::move(task);
    persist();
    m_observers.notify();
}

bool FocusTaskManager::tick(double deltaSeconds, bool isOnTask, bool isIdle)
{
    assertMainThread();
    if (!m_active) {
        setAccumulating(false);
        return false;
    }
    const bool counting = m_active->isAway.value_or(false) || (isOnTask && !isIdle);
    setAccumulating(counting);
    if (counting) {
        m_active->cumulativeOnTaskSeconds += deltaSeconds;
        const Date now = m_clock.now();
        if (!m_lastPersist || now - *m_lastPersist >= kPersistInterval) {
            m_lastPersist = now;
            persist();
        }
        m_observers.notify();
    }
    return std::max(m_active->estimatedSeconds - m_active->cumulativeOnTaskSeconds, 0.0) <= 0;
}

void FocusTaskManager::replaceActive(FocusTask task)
{
    assertMainThread();
    if (!m_active || m_active->id != task.id) {
        return;
    }
    m_active = std::move(task);
    persist();
    m_observers.notify();
}

std::optional<FocusTask> FocusTaskManager::endActive(FocusTask::EndReason reason)
{
    if (!m_active) {
        return std::nullopt;
    }
    FocusTask finished = std::move(*m_active);
    finished.endedAt = m_clock.now();
    finished.endedReason = reason;
    m_active.reset();
    setAccumulating(false);
    m_preferences.remove(kActiveTaskKey);
    m_observers.notify();
    return finished;
}

} // namespace kestrove
