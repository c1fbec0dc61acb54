#pragma once

#include "Platform/SystemEvents.h"

namespace kestrove {

// System events that the test raises by hand; sleep() counts how often the sleeper said ready.
class FakeSystemEvents final : public SystemEvents
{
public:
    int readyCalls = 0;

    void setHandlers(Handlers handlers) override { m_handlers = std::move(handlers); }
    bool isAsleep() const override { return m_asleep; }
    bool isScreenLocked() const override { return m_locked; }
    bool isSessionActive() const override { return m_active; }

    void sleep()
    {
        m_asleep = true;
        if (m_handlers.willSleep) {
            m_handlers.willSleep([this] { ++readyCalls; });
        }
    }
    void wake()
    {
        m_asleep = false;
        if (m_handlers.didWake) {
            m_handlers.didWake();
        }
    }
    void lock(bool locked)
    {
        m_locked = locked;
        auto& handler = locked ? m_handlers.screenLocked : m_handlers.screenUnlocked;
        if (handler) {
            handler();
        }
    }
    void setSessionActive(bool active)
    {
        m_active = active;
        if (m_handlers.sessionActiveChanged) {
            m_handlers.sessionActiveChanged(active);
        }
    }

private:
    Handlers m_handlers;
    bool m_asleep = false;
    bool m_locked = false;
    bool m_active = true;
};

} // namespace kestrove
