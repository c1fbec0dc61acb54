#pragma once

#include "core/Date.h"

#include <functional>
#include <memory>

namespace kestrove {

// A running repeating timer; destroying it stops it.
class ScheduledTimer
{
public:
    virtual ~ScheduledTimer() = default;
};

// Creates the repeating timers of the collectors and services. The program schedules them on the
// Qt event loop; tests fire them from a fake clock. Every timer fires on the main thread.
class Scheduler
{
public:
    virtual ~Scheduler() = default;
    virtual std::unique_ptr<ScheduledTimer> repeating(TimeInterval interval,
                                                      std::function<void()> fire) = 0;
};

} // namespace kestrove
