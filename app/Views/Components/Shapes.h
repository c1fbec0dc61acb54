#pragma once

#include <QPainterPath>
#include <QRectF>

namespace kestrove {

// A rounded rectangle whose corners ease into the straight edges instead of meeting them with
// a circle's sudden bend: each corner starts about 1.5 radii from the vertex.
QPainterPath continuousRoundedRect(const QRectF& rect, qreal radius);

// A rectangle whose short sides are half circles.
QPainterPath capsule(const QRectF& rect);

} // namespace kestrove
