#include "ViewLogic/Shell/FlowHUDModel.h"

#include <gtest/gtest.h>

#include <limits>

using namespace kestrove;
using namespace kestrove::FlowHUDGeometry;

namespace {

// One screen of 1920 × 1080 with a 32-pixel panel on top.
const PixelRect kScreen{0, 0, 1920, 1080};
const PixelRect kAvailable{0, 32, 1920, 1048};
// The main screen right of a 1280 × 800 one, lower on the desktop, with a panel at its bottom.
const PixelRect kRightScreen{1280, 200, 1024, 768};
const PixelRect kRightAvailable{1280, 200, 1024, 740};

} // namespace

TEST(FlowHUDModelTest, PlacementIsFlushRightAndClampedFourInside)
{
    struct Case
    {
        std::optional<double> stored;
        PixelRect screen;
        PixelRect available;
        PixelPoint origin;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        // First placement: 120 below the available top.
        {std::nullopt, kScreen, kAvailable, {1668, 152}},
        {500, kScreen, kAvailable, {1668, 500}},
        {36, kScreen, kAvailable, {1668, 36}},
        {35, kScreen, kAvailable, {1668, 36}},
        {-4000, kScreen, kAvailable, {1668, 36}},
        {1080 - 72, kScreen, kAvailable, {1668, 1008}},
        {1080 - 71, kScreen, kAvailable, {1668, 1008}},
        {1e300, kScreen, kAvailable, {1668, 1008}},
        // A stored height that is no number counts as none.
        {nan, kScreen, kAvailable, {1668, 152}},
        {inf, kScreen, kAvailable, {1668, 152}},
        {-inf, kScreen, kAvailable, {1668, 152}},
        // Two screens: on the main one, wherever it lies on the desktop.
        {std::nullopt, kRightScreen, kRightAvailable, {2052, 320}},
        {0, kRightScreen, kRightAvailable, {2052, 204}},
        {2000, kRightScreen, kRightAvailable, {2052, 868}},
    };
    for (const Case& c : cases) {
        const PixelPoint origin =
            placement(wantedTop(c.stored, c.available), c.screen, c.available);
        EXPECT_EQ(origin, c.origin) << c.stored.value_or(-1) << " on " << c.screen.x;
    }
    EXPECT_EQ(wantedTop(std::nullopt, std::nullopt), 400);
    EXPECT_EQ(wantedTop(nan, std::nullopt), 400);
}

TEST(FlowHUDModelTest, DragFollowsThePointerVerticallyAfterFivePixels)
{
    FlowHUDDrag drag;
    // Moves without a press do nothing.
    EXPECT_EQ(drag.move({10, 500}, 300, kAvailable), std::nullopt);
    drag.press({1800, 320});
    EXPECT_EQ(drag.move({1802, 322}, 300, kAvailable), std::nullopt);
    EXPECT_FALSE(drag.isDragging());
    // Recognised here: the 5 pixels before it are not applied.
    EXPECT_EQ(drag.move({1800, 325}, 300, kAvailable), 300);
    EXPECT_EQ(drag.move({1700, 365}, 300, kAvailable), 340);
    EXPECT_EQ(drag.move({1700, 215}, 340, kAvailable), 190);
    // No margin while dragging: hard against the top and the bottom of the available area.
    EXPECT_EQ(drag.move({1700, -500}, 190, kAvailable), 32);
    EXPECT_EQ(drag.move({1700, 5000}, 32, kAvailable), 1080 - 68);
    EXPECT_EQ(drag.release(1012), 1012);
    EXPECT_FALSE(drag.isDragging());
    EXPECT_EQ(drag.release(1012), std::nullopt);

    // A click without travel is no drag and stores nothing.
    drag.press({1800, 320});
    EXPECT_EQ(drag.release(300), std::nullopt);

    // On the second screen the clamp is that screen's area.
    drag.press({2100, 400});
    EXPECT_EQ(drag.move({2100, 410}, 400, kRightAvailable), 400);
    EXPECT_EQ(drag.move({2100, -100}, 400, kRightAvailable), 200);
    EXPECT_EQ(drag.move({2100, 2000}, 200, kRightAvailable), 940 - 68);
}

TEST(FlowHUDModelTest, PillShowsTheTaskOrLockedIn)
{
    FocusTask task;
    task.name = "Write the results chapter";
    task.estimatedSeconds = 45 * 60;
    task.cumulativeOnTaskSeconds = 45 * 60 - 59.2;
    EXPECT_EQ(
        flowHUDContent(task, true, false),
        (FlowHUDContent{"Write the results chapter", "on task", "1:00", TaskCounting::onTask}));
    task.cumulativeOnTaskSeconds = 50 * 60;
    EXPECT_EQ(flowHUDContent(task, false, true),
              (FlowHUDContent{"Write the results chapter", "paused, idle", "0:00",
                              TaskCounting::paused}));
    task.estimatedSeconds = 75 * 60;
    task.cumulativeOnTaskSeconds = 0;
    EXPECT_EQ(flowHUDContent(task, false, false).clock, "75:00");
    EXPECT_EQ(flowHUDContent(std::nullopt, false, false),
              (FlowHUDContent{"Locked in", "paused", "\u2014", TaskCounting::paused}));
}
