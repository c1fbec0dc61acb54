#pragma once

#include <functional>
#include <map>

namespace kestrove {

// Machine sleep and wake, screen lock and unlock, and whether the user's session is the active
// one. Sleep and lock are separate states: waking up does not unlock the screen.
// Observers (the tracker, the morning gate) are told on the main thread, only on a change.
class SystemEvents
{
public:
    struct Handlers
    {
        // The machine is about to sleep. Call `ready` once the open segment is closed; sleep
        // waits for every observer's answer (up to the system's limit).
        std::function<void(std::function<void()> ready)> willSleep;
        std::function<void()> didWake;
        std::function<void()> screenLocked;
        std::function<void()> screenUnlocked;
        std::function<void(bool active)> sessionActiveChanged;
    };

    virtual ~SystemEvents() = default;

    int addObserver(Handlers handlers);
    void removeObserver(int observer);

    virtual bool isAsleep() const = 0;
    virtual bool isScreenLocked() const = 0;
    virtual bool isSessionActive() const = 0;

protected:
    // `released` runs once every observer that watches sleep has said it is ready.
    void announceSleep(std::function<void()> released);
    void announceWake();
    void announceLock(bool locked);
    void announceSessionActive(bool active);

private:
    std::map<int, Handlers> m_observers;
    int m_lastObserver = 0;
};

} // namespace kestrove
