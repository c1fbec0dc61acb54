#pragma once

#include <QColor>
#include <QRectF>
#include <QStringView>

class QPainter;

namespace kestrove {

// Our own small symbols ("info.circle", "lock.fill"), drawn as black shapes in SVG and painted
// in any colour. An unknown name paints nothing.
void paintSymbol(QPainter& painter, QStringView name, const QRectF& rect, const QColor& colour);
bool hasSymbol(QStringView name);

} // namespace kestrove
