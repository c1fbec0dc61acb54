#include "ViewLogic/Design/FlowPlacement.h"

#include <algorithm>

namespace kestrove {

FlowPlacement placeFlow(const std::vector<FlowSize>& sizes, int spacing,
                        std::optional<int> availableWidth)
{
    FlowPlacement placement;
    placement.positions.reserve(sizes.size());
    int x = 0;
    int y = 0;
    int rowHeight = 0;
    int widestRow = 0;
    for (const FlowSize& size : sizes) {
        if (availableWidth && x > 0 && x + size.width > *availableWidth) {
            y += rowHeight + spacing;
            x = 0;
            rowHeight = 0;
        }
        placement.positions.push_back({x, y});
        rowHeight = std::max(rowHeight, size.height);
        widestRow = std::max(widestRow, x + size.width);
        x += size.width + spacing;
    }
    // An unbounded width cannot be a layout's size: report the row that was laid out instead.
    placement.width = availableWidth ? *availableWidth : widestRow;
    placement.height = y + rowHeight;
    return placement;
}

} // namespace kestrove
