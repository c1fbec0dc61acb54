#include "ViewLogic/Design/ComponentGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace kestrove {
namespace {

using namespace ComponentGeometry;

TEST(ComponentGeometryTest, WaterlineFillIsAtLeastADot)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case
    {
        double progress;
        double expected;
    };
    // A 200-wide bar, 6 high.
    const Case cases[] = {
        {0, 6},     {-0.5, 6}, {nan, 6},   {-inf, 6},  {0.01, 6},
        {0.5, 100}, {1, 200},  {1.7, 200}, {inf, 200},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(waterlineFillWidth(c.progress, 200, 6), c.expected) << c.progress;
    }
}

// Where an arc's end lands on screen, with y growing downwards as on a widget.
struct ScreenPoint
{
    double x;
    double y;
};
ScreenPoint onScreen(double painterDegrees)
{
    const double radians = painterDegrees * std::numbers::pi / 180;
    return {std::cos(radians), -std::sin(radians)};
}

TEST(ComponentGeometryTest, RingStartsAtTwelveAndGrowsClockwise)
{
    const RingArc quarter = ringArc(0.25);
    ASSERT_TRUE(quarter.visible);
    const ScreenPoint start = onScreen(quarter.startDegrees);
    EXPECT_NEAR(start.x, 0, 1e-9);
    EXPECT_NEAR(start.y, -1, 1e-9); // top of the circle
    const ScreenPoint end = onScreen(quarter.startDegrees + quarter.sweepDegrees);
    EXPECT_NEAR(end.x, 1, 1e-9); // three o'clock, reached clockwise
    EXPECT_NEAR(end.y, 0, 1e-9);
    EXPECT_LT(quarter.sweepDegrees, 0);

    EXPECT_DOUBLE_EQ(ringArc(1).sweepDegrees, -360);
    EXPECT_DOUBLE_EQ(ringArc(3).sweepDegrees, -360);
    EXPECT_FALSE(ringArc(0).visible);
    EXPECT_FALSE(ringArc(-0.2).visible);
    EXPECT_FALSE(ringArc(std::numeric_limits<double>::quiet_NaN()).visible);
}

TEST(ComponentGeometryTest, CapsuleHitAreaExcludesTheCorners)
{
    // A 100 × 30 pill: half circles of radius 15 at both ends.
    struct Case
    {
        double x, y;
        bool inside;
    };
    const Case cases[] = {
        {50, 15, true},   {50, 0, true},   {50, 30, true},   {0, 15, true},   {100, 15, true},
        {15, 0, true},    {85, 30, true},  {3, 3, false},    {97, 27, false}, {1, 29, false},
        {4.5, 4.5, true}, {-1, 15, false}, {101, 15, false}, {50, 31, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(capsuleContains(100, 30, c.x, c.y), c.inside) << c.x << "," << c.y;
    }
    // A tall capsule rounds its top and bottom instead.
    EXPECT_FALSE(capsuleContains(20, 80, 1, 1));
    EXPECT_TRUE(capsuleContains(20, 80, 1, 40));
    EXPECT_FALSE(capsuleContains(0, 0, 0, 0));
}

TEST(ComponentGeometryTest, SpringSettlesWithoutOvershoot)
{
    EXPECT_DOUBLE_EQ(springProgress(0, 0.8), 0);
    double previous = 0;
    for (double t = 0.02; t <= 2.0; t += 0.02) {
        const double now = springProgress(t, 0.8);
        EXPECT_GT(now, previous) << t;
        EXPECT_LE(now, 1.0) << t;
        previous = now;
    }
    EXPECT_GT(springProgress(springSettleTime(0.8), 0.8), 0.995);
    EXPECT_LT(springProgress(springSettleTime(0.8) * 0.9, 0.8), 0.995);
    EXPECT_GT(springProgress(0.4, 0.8), 0.8); // most of the way after half a period
}

} // namespace
} // namespace kestrove
