#include "Collectors/SystemIdle.h"
#include "support/FakeIdleTimeSource.h"

#include <gtest/gtest.h>

#include <limits>

namespace kestrove {
namespace {

TEST(SystemIdleTest, FallsBackWhenTheInputSourceCannotBeBelieved)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case
    {
        std::optional<double> input;
        std::optional<double> fallback;
        double expected;
    };
    const Case cases[] = {
        {12.5, 99.0, 12.5},
        {0.0, 99.0, 0.0},
        {std::nullopt, 7.0, 7.0},
        {nan, 7.0, 7.0},
        {inf, 7.0, 7.0},
        {-1.0, 7.0, 7.0},
        {31'536'000.0, 7.0, 7.0},
        {31'535'999.0, 7.0, 31'535'999.0},
        {std::nullopt, std::nullopt, 0.0},
    };
    for (const auto& c : cases) {
        FakeIdleTimeSource input;
        FakeIdleTimeSource fallback;
        input.seconds = c.input;
        fallback.seconds = c.fallback;
        SystemIdle idle(input, fallback);
        EXPECT_EQ(idle.secondsSinceInput(), c.expected)
            << "input " << c.input.value_or(-99) << " fallback " << c.fallback.value_or(-99);
    }
}

} // namespace
} // namespace kestrove
