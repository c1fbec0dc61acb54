#include "Platform/SystemEvents.h"

#include <memory>
#include <utility>

namespace kestrove {

int SystemEvents::addObserver(Handlers handlers)
{
    m_observers[++m_lastObserver] = std::move(handlers);
    return m_lastObserver;
}

void SystemEvents::removeObserver(int observer)
{
    m_observers.erase(observer);
}

void SystemEvents::announceSleep(std::function<void()> released)
{
    // A copy: an observer may remove itself while it is told.
    const auto observers = m_observers;
    auto waiting = std::make_shared<int>(1);
    auto settle = [waiting, released] {
        if (--*waiting == 0) {
            released();
        }
    };
    for (const auto& [id, handlers] : observers) {
        if (!handlers.willSleep) {
            continue;
        }
        ++*waiting;
        auto answered = std::make_shared<bool>(false);
        handlers.willSleep([answered, settle] {
            if (!std::exchange(*answered, true)) {
                settle();
            }
        });
    }
    settle();
}

void SystemEvents::announceWake()
{
    for (const auto& [id, handlers] : std::map(m_observers)) {
        if (handlers.didWake) {
            handlers.didWake();
        }
    }
}

void SystemEvents::announceLock(bool locked)
{
    for (const auto& [id, handlers] : std::map(m_observers)) {
        const auto& handler = locked ? handlers.screenLocked : handlers.screenUnlocked;
        if (handler) {
            handler();
        }
    }
}

void SystemEvents::announceSessionActive(bool active)
{
    for (const auto& [id, handlers] : std::map(m_observers)) {
        if (handlers.sessionActiveChanged) {
            handlers.sessionActiveChanged(active);
        }
    }
}

} // namespace kestrove
