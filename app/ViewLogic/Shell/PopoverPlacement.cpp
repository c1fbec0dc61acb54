#include "ViewLogic/Shell/PopoverPlacement.h"

#include <algorithm>

namespace kestrove {

namespace {

// A small gap between the icon and the popover, as under a menu.
constexpr int kGap = 4;

int clampInto(int position, int length, int start, int available)
{
    // A popover larger than the area keeps its leading edge visible.
    return std::max(start, std::min(position, start + available - length));
}

} // namespace

PixelPoint popoverPosition(const std::optional<PixelRect>& trayIcon, PixelPoint pointer, int width,
                           int height, const PixelRect& available)
{
    PixelPoint origin = pointer;
    if (trayIcon && trayIcon->width > 0 && trayIcon->height > 0) {
        origin.x = trayIcon->x + trayIcon->width / 2 - width / 2;
        const int below = trayIcon->y + trayIcon->height + kGap;
        const bool trayAtBottom =
            trayIcon->y + trayIcon->height / 2 > available.y + available.height / 2;
        origin.y = trayAtBottom ? trayIcon->y - kGap - height : below;
    } else if (pointer.y + height > available.y + available.height) {
        origin.y = pointer.y - height; // open upwards from a pointer near the bottom
    }
    return {clampInto(origin.x, width, available.x, available.width),
            clampInto(origin.y, height, available.y, available.height)};
}

} // namespace kestrove
