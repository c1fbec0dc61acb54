#pragma once

#include <functional>

namespace kestrove {

// Machine sleep and wake, screen lock and unlock, and whether the user's session is the active
// one. Sleep and lock are separate states: waking up does not unlock the screen.
// Handlers run on the main thread and only on a change of state.
class SystemEvents
{
public:
    struct Handlers
    {
        // The machine is about to sleep. Call `ready` once the open segment is closed; sleep
        // waits for it (up to the system's limit).
        std::function<void(std::function<void()> ready)> willSleep;
        std::function<void()> didWake;
        std::function<void()> screenLocked;
        std::function<void()> screenUnlocked;
        std::function<void(bool active)> sessionActiveChanged;
    };

    virtual ~SystemEvents() = default;

    virtual void setHandlers(Handlers handlers) = 0;
    virtual bool isAsleep() const = 0;
    virtual bool isScreenLocked() const = 0;
    virtual bool isSessionActive() const = 0;
};

} // namespace kestrove
