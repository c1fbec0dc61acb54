#include "Views/Components/Shapes.h"

#include <algorithm>

namespace kestrove {

namespace {

// How far a corner reaches along each edge, and where its control points sit, in radii. The
// control points are placed so that the middle of the corner lies where a circular corner's
// would, while the curve leaves the edges with almost no bend.
constexpr qreal kReach = 1.528;
constexpr qreal kControl = 0.268;

} // namespace

QPainterPath continuousRoundedRect(const QRectF& rect, qreal radius)
{
    QPainterPath path;
    const qreal shortSide = std::min(rect.width(), rect.height());
    if (shortSide <= 0) {
        return path;
    }
    // Keep the corners from overlapping on small shapes.
    const qreal reach = std::min(radius * kReach, shortSide / 2);
    const qreal control = reach * (kControl / kReach);
    const qreal l = rect.left();
    const qreal t = rect.top();
    const qreal r = rect.right();
    const qreal b = rect.bottom();
    path.moveTo(l + reach, t);
    path.lineTo(r - reach, t);
    path.cubicTo(r - control, t, r, t + control, r, t + reach);
    path.lineTo(r, b - reach);
    path.cubicTo(r, b - control, r - control, b, r - reach, b);
    path.lineTo(l + reach, b);
    path.cubicTo(l + control, b, l, b - control, l, b - reach);
    path.lineTo(l, t + reach);
    path.cubicTo(l, t + control, l + control, t, l + reach, t);
    path.closeSubpath();
    return path;
}

QPainterPath capsule(const QRectF& rect)
{
    QPainterPath path;
    const qreal radius = std::min(rect.width(), rect.height()) / 2;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

} // namespace kestrove
