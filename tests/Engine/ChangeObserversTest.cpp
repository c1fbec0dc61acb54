#include "Engine/ChangeObservers.h"

#include <gtest/gtest.h>

#include <optional>

using namespace kestrove;

TEST(ChangeObserversTest, ADestroyedSubscriptionIsNeverCalledAgain)
{
    ChangeObservers observers;
    int first = 0;
    int second = 0;
    auto kept = observers.subscribe([&] { ++first; });
    {
        const auto closed = observers.subscribe([&] { ++second; });
        observers.notify();
    }
    observers.notify();
    EXPECT_EQ(first, 2);
    EXPECT_EQ(second, 1);

    kept = Subscription();
    observers.notify();
    EXPECT_EQ(first, 2);
    EXPECT_TRUE(observers.isEmpty());
}

TEST(ChangeObserversTest, AnObserverMayEndAnotherWhileBeingTold)
{
    ChangeObservers observers;
    std::optional<Subscription> later;
    int laterCalls = 0;
    const auto first = observers.subscribe([&] { later.reset(); });
    later = observers.subscribe([&] { ++laterCalls; });
    observers.notify();
    EXPECT_EQ(laterCalls, 0);
}
