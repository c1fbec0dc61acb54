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
    // Input seconds, fallback seconds, the idle time believed.
    const std::tuple<std::optional<double>, std::optional<double>, double> cases[] = {
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
    for (const auto& [inputSeconds, fallbackSeconds, expected] : cases) {
        FakeIdleTimeSource input;
        FakeIdleTimeSource fallback;
        input.seconds = inputSeconds;
        fallback.seconds = fallbackSeconds;
        EXPECT_EQ(SystemIdle(input, fallback).secondsSinceInput(), expected)
            << "input " << inputSeconds.value_or(-99) << " fallback "
            << fallbackSeconds.value_or(-99);
    }
}

} // namespace
} // namespace kestrove
