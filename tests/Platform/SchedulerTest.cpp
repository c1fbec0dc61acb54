#include "support/FakeScheduler.h"

#include <gtest/gtest.h>

using namespace kestrove;

TEST(SchedulerTest, AOneShotTimerFiresOnceAndNotAfterItIsDestroyed)
{
    FakeClock clock(1000.0);
    FakeScheduler scheduler(clock);
    std::vector<Date> fired;
    const auto once = scheduler.once(8.0, [&] { fired.push_back(clock.now()); });
    auto cancelled = scheduler.once(5.0, [&] { fired.push_back(-1); });
    cancelled.reset();
    int ticks = 0;
    const auto repeating = scheduler.repeating(1.0, [&] { ++ticks; });
    scheduler.advance(30.0);
    EXPECT_EQ(fired, std::vector<Date>{1008.0});
    EXPECT_EQ(ticks, 30);
    EXPECT_EQ(scheduler.runningTimers(), 1);
}

TEST(SchedulerTest, TheMonotonicClockIgnoresTheWallClockBeingSetBack)
{
    FakeClock clock(1000.0);
    clock.advance(10.0);
    clock.set(500.0);
    clock.advance(2.0);
    EXPECT_EQ(clock.now(), 502.0);
    EXPECT_EQ(clock.monotonic(), 12.0);
}
