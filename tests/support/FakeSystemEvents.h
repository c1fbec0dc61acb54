#pragma once

#include "Platform/SystemEvents.h"

namespace kestrove {

// System events that the test raises by hand; `released` counts sleeps that every observer
// answered.
class FakeSystemEvents final : public SystemEvents
{
public:
    int released = 0;

    bool isAsleep() const override { return m_asleep; }
    bool isScreenLocked() const override { return m_locked; }
    bool isSessionActive() const override { return m_active; }

    void sleep()
    {
        m_asleep = true;
        announceSleep([this] { ++released; });
    }
    void wake()
    {
        m_asleep = false;
        announceWake();
    }
    void lock(bool locked)
    {
        m_locked = locked;
        announceLock(locked);
    }
    void setSessionActive(bool active)
    {
        m_active = active;
        announceSessionActive(active);
    }

private:
    bool m_asleep = false;
    bool m_locked = false;
    bool m_active = true;
};

} // namespace kestrove
