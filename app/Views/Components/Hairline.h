#pragma once

#include <QColor>

class QWidget;

namespace kestrove {

// A full-width line one pixel high in `colour`, between the sections of a column.
QWidget* hairline(const QColor& colour, QWidget* parent = nullptr);

} // namespace kestrove
