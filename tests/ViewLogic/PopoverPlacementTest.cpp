#include "ViewLogic/Shell/PopoverPlacement.h"

#include <gtest/gtest.h>

using namespace kestrove;

TEST(PopoverPlacementTest, UnderTheIconAtThePointerAndAlwaysOnScreen)
{
    const PixelRect screen{0, 24, 1280, 776}; // a top panel of 24 px
    struct Case
    {
        const char* name;
        std::optional<PixelRect> icon;
        PixelPoint pointer;
        PixelPoint expected;
    };
    const Case cases[] = {
        {"centred under an icon", PixelRect{600, 0, 24, 24}, {0, 0}, {440, 28}},
        {"icon at the right edge", PixelRect{1256, 0, 24, 24}, {0, 0}, {936, 28}},
        {"icon at the left edge", PixelRect{0, 0, 24, 24}, {0, 0}, {0, 28}},
        {"tray at the bottom", PixelRect{600, 776, 24, 24}, {0, 0}, {440, 412}},
        {"no geometry: at the pointer", std::nullopt, {100, 200}, {100, 200}},
        {"empty geometry: at the pointer", PixelRect{0, 0, 0, 0}, {100, 200}, {100, 200}},
        {"pointer near the bottom", std::nullopt, {100, 700}, {100, 340}},
        {"pointer past the right edge", std::nullopt, {1270, 30}, {936, 30}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(popoverPosition(c.icon, c.pointer, 344, 360, screen), c.expected) << c.name;
    }
    // Larger than the screen: its top-left stays visible.
    EXPECT_EQ(popoverPosition(std::nullopt, {50, 50}, 2000, 2000, screen), (PixelPoint{0, 24}));
}
