#pragma once

#include "Platform/Scheduler.h"

namespace kestrove {

// Timers on the Qt event loop of the calling (main) thread.
class QtScheduler final : public Scheduler
{
public:
    std::unique_ptr<ScheduledTimer> repeating(TimeInterval interval,
                                              std::function<void()> fire) override;
    std::unique_ptr<ScheduledTimer> once(TimeInterval delay, std::function<void()> fire) override;
};

} // namespace kestrove
