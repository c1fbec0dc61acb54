#include "ViewLogic/Shell/FlowHUDModel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kestrove {

namespace FlowHUDGeometry {

namespace {

int bottom(const PixelRect& rect)
{
    return rect.y + rect.height;
}

// Far outside any desktop, but still an int after rounding.
double bounded(double value)
{
    return std::clamp(value, -1.0e6, 1.0e6);
}

} // namespace

double wantedTop(std::optional<double> storedTop, const std::optional<PixelRect>& available)
{
    // A stored value that is not finite would place the pill nowhere; it counts as none.
    if (storedTop && std::isfinite(*storedTop)) {
        return *storedTop;
    }
    if (available) {
        return available->y + kDefaultTopOffset;
    }
    return kFallbackTop;
}

PixelPoint placement(double wantedTop, const PixelRect& screen, const PixelRect& available)
{
    const int wanted = static_cast<int>(std::lround(bounded(wantedTop)));
    int top = std::max(available.y + kPlacementMargin, wanted);
    top = std::min(bottom(available) - kPanelHeight - kPlacementMargin, top);
    return {screen.x + screen.width - kPanelWidth, top};
}

int dragClamp(double top, const PixelRect& available)
{
    const int wanted = static_cast<int>(std::lround(bounded(top)));
    return std::min(bottom(available) - kPanelHeight, std::max(available.y, wanted));
}

} // namespace FlowHUDGeometry

void FlowHUDDrag::press(PixelPoint pointer)
{
    m_press = pointer;
    m_startTop.reset();
}

std::optional<int> FlowHUDDrag::move(PixelPoint pointer, int panelTop, const PixelRect& available)
{
    if (!m_press) {
        return std::nullopt;
    }
    if (!m_startTop) {
        const int travel = std::abs(pointer.x - m_press->x) + std::abs(pointer.y - m_press->y);
        if (travel < kThreshold) {
            return std::nullopt;
        }
        // The travel before recognition is not applied: the pill starts moving from here.
        m_startTop = panelTop;
        m_startPointerY = pointer.y;
    }
    return FlowHUDGeometry::dragClamp(*m_startTop + (pointer.y - m_startPointerY), available);
}

std::optional<int> FlowHUDDrag::release(int panelTop)
{
    const bool dragged = m_startTop.has_value();
    m_press.reset();
    m_startTop.reset();
    if (!dragged) {
        return std::nullopt;
    }
    return panelTop;
}

FlowHUDContent flowHUDContent(const std::optional<FocusTask>& task, bool isAccumulating,
                              bool isIdle)
{
    FlowHUDContent content;
    content.title = task ? task->name : "Locked in";
    content.stateWord = lockInStateWord(isAccumulating, isIdle);
    content.clock = lockInCountdown(task);
    content.state = taskCounting(isAccumulating);
    return content;
}

} // namespace kestrove
