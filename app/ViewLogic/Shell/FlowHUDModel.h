#pragma once

#include "ViewLogic/Shell/MenuBarModel.h"
#include "ViewLogic/Shell/PopoverPlacement.h"

#include <optional>
#include <string>

namespace kestrove {

// Where the floating lock-in display sits: flush with the right edge of the main screen, at
// the height the user left it. Desktop coordinates, top-left origin; y is the panel's top.
namespace FlowHUDGeometry {

inline constexpr int kPanelWidth = 252;
inline constexpr int kPanelHeight = 68;
inline constexpr int kPillWidth = 236;
// The first place: this far below the top of the screen's available area.
inline constexpr int kDefaultTopOffset = 120;
// Without a main screen.
inline constexpr int kFallbackTop = 400;
// Placing keeps this margin from the available area's edges; dragging keeps none, so a pill
// dragged hard against an edge is pulled inward the next time it is placed.
inline constexpr int kPlacementMargin = 4;

// The stored height when it is a usable number, else the default place: 120 below the top of
// `available`, or 400 without a screen.
double wantedTop(std::optional<double> storedTop, const std::optional<PixelRect>& available);
// The panel's top-left corner for a wanted top on a screen: right edge on the screen's full
// width, top kept 4 inside the available area (the bottom margin wins on a screen too small).
PixelPoint placement(double wantedTop, const PixelRect& screen, const PixelRect& available);
// A top during a drag, kept inside the available area.
int dragClamp(double top, const PixelRect& available);

} // namespace FlowHUDGeometry

// The pill's vertical drag: recognised once the pointer has moved 5 pixels from the press;
// from then on the panel follows exactly the pointer's vertical travel since recognition.
class FlowHUDDrag
{
public:
    static constexpr int kThreshold = 5;

    void press(PixelPoint pointer);
    // The panel's new top while dragging, or none before the drag is recognised.
    std::optional<int> move(PixelPoint pointer, int panelTop, const PixelRect& available);
    // The top to remember when a drag ends; none when the press never became a drag.
    std::optional<int> release(int panelTop);
    bool isDragging() const { return m_startTop.has_value(); }

private:
    std::optional<PixelPoint> m_press;
    std::optional<int> m_startTop;
    int m_startPointerY = 0;
};

// What the pill shows.
struct FlowHUDContent
{
    std::string title;     // the task's name, "Locked in" without a task
    std::string stateWord; // "on task", "paused", "paused, idle"
    std::string clock;     // time left, "—" without a task
    TaskCounting state = TaskCounting::paused;

    bool operator==(const FlowHUDContent&) const = default;
};
FlowHUDContent flowHUDContent(const std::optional<FocusTask>& task, bool isAccumulating,
                              bool isIdle);

} // namespace kestrove
