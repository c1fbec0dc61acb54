#include "Views/Components/Hairline.h"

#include <QPalette>
#include <QWidget>

namespace kestrove {

QWidget* hairline(const QColor& colour, QWidget* parent)
{
    auto* line = new QWidget(parent);
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
    return line;
}

} // namespace kestrove
