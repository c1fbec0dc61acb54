#pragma once

#include "core/Date.h"

#include <functional>
#include <memory>

namespace kestrove {

// A running timer; destroying it stops it (a one-shot timer that has not fired never fires).
class ScheduledTimer
{
public:
    virtual ~ScheduledTimer() = default;
};

// Creates the timers of the collectors, services and windows. The program schedules them on the
// Qt event loop; tests fire them from a fake clock. Every timer fires on the main thread.
class Scheduler
{
public:
    virtual ~Scheduler() = default;
    virtual std::unique_ptr<ScheduledTimer> repeating(TimeInterval interval,
                                                      std::function<void()> fire) = 0;
    // Fires once, `delay` seconds from now.
    virtual std::unique_ptr<ScheduledTimer> once(TimeInterval delay,
                                                 std::function<void()> fire) = 0;
};

} // namespace kestrove
