#include "ViewLogic/Charts/BarChartModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

using namespace kestrove;

TEST(BarChartModelTest, TickLabelsShowTheirValueUncut)
{
    const struct
    {
        double hours;
        const char* label;
    } cases[] = {
        {0, "0h"},     {0.5, "0.5h"},   {1, "1h"},   {1.5, "1.5h"},
        {2.5, "2.5h"}, {0.25, "0.25h"}, {10, "10h"}, {0.1, "0.1h"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BarChartModel::tickLabel(c.hours), c.label) << c.hours;
    }
}

// Whatever the bound, no two ticks read the same and each label names its own value.
TEST(BarChartModelTest, TicksAreRoundDistinctAndWithinTheBound)
{
    for (const double bound : {0.5, 0.8, 1.0, 1.5, 2.0, 3.3, 4.5, 5.0, 6.5, 9.0, 12.5, 24.0}) {
        const auto ticks = BarChartModel::ticksFor(bound);
        ASSERT_GE(ticks.size(), 2u) << bound;
        EXPECT_LE(ticks.size(), 7u) << bound;
        EXPECT_EQ(ticks.front().hours, 0) << bound;
        EXPECT_LE(ticks.back().hours, bound + 1e-9) << bound;
        std::set<std::string> labels;
        for (const ChartTick& tick : ticks) {
            EXPECT_TRUE(labels.insert(tick.label).second) << bound << " repeats " << tick.label;
            EXPECT_NEAR(std::stod(tick.label), tick.hours, 1e-9) << bound;
        }
    }
    const auto five = BarChartModel::tickValues(5);
    EXPECT_EQ(five, (std::vector<double>{0, 1, 2, 3, 4, 5}));
    const auto small = BarChartModel::tickValues(0.5);
    EXPECT_EQ(small, (std::vector<double>{0, 0.1, 0.2, 0.3, 0.4, 0.5}));
    EXPECT_EQ(BarChartModel::tickValues(0), (std::vector<double>{0}));
    EXPECT_EQ(BarChartModel::tickValues(std::nan("")), (std::vector<double>{0}));
}

TEST(BarChartModelTest, RoundUpperBoundCoversTheTallestBar)
{
    const struct
    {
        double largest;
        double bound;
    } cases[] = {{0, 1}, {0.4, 1}, {1, 1}, {1.2, 1.5}, {1.9, 2}, {3.1, 4}, {7.5, 8}, {11, 15}};
    for (const auto& c : cases) {
        EXPECT_NEAR(BarChartModel::roundUpperBound(c.largest), c.bound, 1e-9) << c.largest;
        EXPECT_GE(BarChartModel::roundUpperBound(c.largest), c.largest);
    }
}

TEST(BarChartModelTest, LayoutPutsBarsAndTheGoalOnTheScale)
{
    BarChartModel model;
    model.bars = {{"Mon", 0, false, ""}, {"Tue", 2.5, true, "2.5h"}, {"Wed", 9, false, ""}};
    model.upperBound = 5;
    model.ticks = BarChartModel::ticksFor(5);
    model.goalHours = 4;
    const BarChartLayout layout = BarChartLayout::make(model, 330, 200, 0.5);
    const ChartRect& plot = layout.plot;
    EXPECT_EQ(plot.x, BarChartLayout::kAxisWidth);
    EXPECT_EQ(plot.width, 300);
    const double base = plot.y + plot.height;
    ASSERT_EQ(layout.bars.size(), 3u);
    // Equal bands, each bar half its band and centred in it.
    EXPECT_DOUBLE_EQ(layout.bars[0].width, 50);
    EXPECT_DOUBLE_EQ(layout.bars[1].x, plot.x + 100 + 25);
    // A day without time sits on the base line; a bar above the bound stops at the top.
    EXPECT_DOUBLE_EQ(layout.bars[0].height, 0);
    EXPECT_DOUBLE_EQ(layout.bars[0].y, base);
    EXPECT_DOUBLE_EQ(layout.bars[1].height, plot.height / 2);
    EXPECT_DOUBLE_EQ(layout.bars[2].y, plot.y);
    ASSERT_TRUE(layout.goalY);
    EXPECT_DOUBLE_EQ(*layout.goalY, base - plot.height * 0.8);
    ASSERT_EQ(layout.tickY.size(), model.ticks.size());
    EXPECT_DOUBLE_EQ(layout.tickY.front(), base);
    EXPECT_DOUBLE_EQ(layout.tickY.back(), plot.y);

    model.bars.clear();
    model.goalHours.reset();
    const BarChartLayout empty = BarChartLayout::make(model, 330, 200, 0.5);
    EXPECT_TRUE(empty.bars.empty());
    EXPECT_FALSE(empty.goalY);
}
