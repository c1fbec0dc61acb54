#pragma once

#include <optional>
#include <vector>

namespace kestrove {

struct FlowSize
{
    int width = 0;
    int height = 0;
};

struct FlowPoint
{
    int x = 0;
    int y = 0;

    friend bool operator==(const FlowPoint&, const FlowPoint&) = default;
};

struct FlowPlacement
{
    // The top-left corner of each item, relative to the layout's top-left corner.
    std::vector<FlowPoint> positions;
    // The available width; with no width given, the widest row.
    int width = 0;
    int height = 0;
};

// Places items of the given ideal sizes in rows, left to right, starting a new row when the
// next item would end past `availableWidth`; the gap between items and between rows is
// `spacing`. An item that ends exactly on the edge stays in its row, and the first item of a
// row never moves down, however wide. Without a width everything is one row.
FlowPlacement placeFlow(const std::vector<FlowSize>& sizes, int spacing,
                        std::optional<int> availableWidth);

} // namespace kestrove
