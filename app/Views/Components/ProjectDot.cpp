#include "Views/Components/ProjectDot.h"

#include "Views/Components/Shapes.h"
#include "Views/Theme.h"

#include <QPainter>

namespace kestrove {

ProjectDot::ProjectDot(std::optional<std::string> colorKey, int size, QWidget* parent)
    : QWidget(parent), m_color(colorFor(colorKey))
{
    setFixedSize(size, size);
}

QColor ProjectDot::colorFor(const std::optional<std::string>& colorKey)
{
    if (!colorKey) {
        return KS::unassignedColor();
    }
    return KS::projectColor(*colorKey);
}

void ProjectDot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(continuousRoundedRect(rect(), 2.5), m_color);
}

} // namespace kestrove
