#include "Platform/Linux/LinuxScreenSaverIdle.h"

#include <QTest>

#include <gtest/gtest.h>

#include "support/TestWindows.h"

#include <X11/extensions/XTest.h>

namespace kestrove {
namespace {

TEST(LinuxScreenSaverIdleTest, GrowsWithoutInputAndDropsAfterPointerMotion)
{
    testing_support::TestWindows input;
    LinuxScreenSaverIdle idle({}, 300);
    XTestFakeMotionEvent(input.display(), -1, 10, 10, CurrentTime);
    XSync(input.display(), False);
    const auto fresh = idle.idleSeconds();
    ASSERT_TRUE(fresh.has_value());
    EXPECT_LT(*fresh, 0.5);

    QTest::qSleep(600);
    const auto later = idle.idleSeconds();
    ASSERT_TRUE(later.has_value());
    EXPECT_GE(*later, 0.5);

    XTestFakeMotionEvent(input.display(), -1, 20, 20, CurrentTime);
    XSync(input.display(), False);
    EXPECT_TRUE(QTest::qWaitFor([&] { return idle.idleSeconds() == 0.0; }, 1000));
}

TEST(LinuxScreenSaverIdleTest, AfterAPauseTheClockCarriesTheIdleTimeUntilInputComesBack)
{
    testing_support::TestWindows input;
    LinuxScreenSaverIdle idle({}, 300);
    auto move = [&](int x) {
        XTestFakeMotionEvent(input.display(), -1, x, 10, CurrentTime);
        XSync(input.display(), False);
    };
    move(10);
    ASSERT_EQ(idle.idleSeconds(), 0.0);
    for (int x = 11; x < 15; ++x) {
        move(x);
        QTest::qSleep(50);
        EXPECT_EQ(idle.idleSeconds(), 0.0) << "the user at work reads as zero";
    }
    EXPECT_EQ(idle.queries(), 1) << "an active user is not asked again: the alarms tell";

    QTest::qSleep(400);
    const double paused = idle.idleSeconds().value_or(0);
    EXPECT_GE(paused, 0.4);
    QTest::qSleep(200);
    const double later = idle.idleSeconds().value_or(0);
    EXPECT_GE(later, paused + 0.19);
    EXPECT_LT(later, paused + 0.4);
    EXPECT_EQ(idle.queries(), 2) << "a pause is asked for once, then followed by the clock";

    // Input after the pause is seen at once, and so is every later pause and return.
    for (int round = 0; round < 2; ++round) {
        move(20 + round);
        EXPECT_TRUE(QTest::qWaitFor([&] { return idle.idleSeconds() == 0.0; }, 1000)) << round;
        QTest::qSleep(400);
        EXPECT_GE(idle.idleSeconds().value_or(0), 0.4) << round;
    }
    EXPECT_EQ(idle.queries(), 4);
}

} // namespace
} // namespace kestrove
