#pragma once

#include <optional>

namespace kestrove {

// A rectangle in logical pixels of the desktop, top-left origin.
struct PixelRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

struct PixelPoint
{
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

// Where the popover's top-left corner goes: centred under the tray icon (above it when the
// tray sits at the bottom of the screen), or at the pointer when the tray gives no geometry;
// always kept inside the screen's available area.
PixelPoint popoverPosition(const std::optional<PixelRect>& trayIcon, PixelPoint pointer, int width,
                           int height, const PixelRect& available);

} // namespace kestrove
