#include "Platform/Linux/LinuxScreenSaverIdle.h"

#include <QTest>

#include <gtest/gtest.h>

#include "TestWindows.h"

#include <X11/extensions/XTest.h>

namespace kestrove {
namespace {

TEST(LinuxScreenSaverIdleTest, GrowsWithoutInputAndDropsAfterPointerMotion)
{
    testing_support::TestWindows input;
    LinuxScreenSaverIdle idle;
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
    EXPECT_LT(idle.idleSeconds().value_or(99), *later);
}

} // namespace
} // namespace kestrove
