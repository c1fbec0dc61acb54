#include "ViewLogic/Design/FlowPlacement.h"

#include <gtest/gtest.h>

namespace kestrove {
namespace {

TEST(FlowPlacementTest, BreaksRowsWhereTheNextItemWouldPassTheEdge)
{
    // 40 + 8 + 50 = 98 fits in 100; the third item opens a row 8 below the taller of the two.
    const auto placed = placeFlow({{40, 20}, {50, 30}, {30, 10}}, 8, 100);
    const std::vector<FlowPoint> expected = {{0, 0}, {48, 0}, {0, 38}};
    EXPECT_EQ(placed.positions, expected);
    EXPECT_EQ(placed.width, 100);
    EXPECT_EQ(placed.height, 48);
}

TEST(FlowPlacementTest, AnItemEndingOnTheEdgeStaysInItsRow)
{
    EXPECT_EQ(placeFlow({{40, 20}, {52, 20}}, 8, 100).positions[1], (FlowPoint{48, 0}));
    EXPECT_EQ(placeFlow({{40, 20}, {53, 20}}, 8, 100).positions[1], (FlowPoint{0, 28}));
    // Trailing spacing is not counted: 40 + 8 + 52 ends at 100 with the next gap beyond it.
    EXPECT_EQ(placeFlow({{40, 20}, {52, 20}, {1, 20}}, 8, 100).positions[2], (FlowPoint{0, 28}));
}

TEST(FlowPlacementTest, RowsAreAsHighAsTheirTallestItemAndTopAligned)
{
    const auto placed = placeFlow({{30, 20}, {30, 30}, {30, 5}}, 4, 64);
    EXPECT_EQ(placed.positions[0].y, 0);
    EXPECT_EQ(placed.positions[1].y, 0);
    EXPECT_EQ(placed.positions[2], (FlowPoint{0, 34}));
    EXPECT_EQ(placed.height, 39);
}

TEST(FlowPlacementTest, EdgeWidths)
{
    // No items: the available width and no height.
    const auto empty = placeFlow({}, 8, 100);
    EXPECT_TRUE(empty.positions.empty());
    EXPECT_EQ(empty.width, 100);
    EXPECT_EQ(empty.height, 0);

    // An item wider than the width stays on the first row at its full width.
    const auto wide = placeFlow({{150, 24}}, 8, 100);
    EXPECT_EQ(wide.positions[0], (FlowPoint{0, 0}));
    EXPECT_EQ(wide.height, 24);

    // Width 0: one item per row, rows separated by the spacing.
    const auto zero = placeFlow({{10, 20}, {10, 30}, {10, 5}}, 6, 0);
    const std::vector<FlowPoint> column = {{0, 0}, {0, 26}, {0, 62}};
    EXPECT_EQ(zero.positions, column);
    EXPECT_EQ(zero.width, 0);
    EXPECT_EQ(zero.height, 20 + 6 + 30 + 6 + 5);

    // No width given: one row, reported as wide as that row rather than without bound.
    const auto unbounded = placeFlow({{40, 20}, {50, 30}, {30, 10}}, 8, std::nullopt);
    const std::vector<FlowPoint> row = {{0, 0}, {48, 0}, {106, 0}};
    EXPECT_EQ(unbounded.positions, row);
    EXPECT_EQ(unbounded.width, 136);
    EXPECT_EQ(unbounded.height, 30);
    EXPECT_EQ(placeFlow({}, 8, std::nullopt).width, 0);
}

} // namespace
} // namespace kestrove
