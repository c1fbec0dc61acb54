#include "Views/Components/Waterline.h"

#include "ViewLogic/Design/ComponentGeometry.h"
#include "Views/Components/Shapes.h"
#include "Views/Components/SpringValue.h"
#include "Views/Theme.h"

#include <QLinearGradient>
#include <QPainter>

namespace kestrove {

Waterline::Waterline(double progress, int height, QGradientStops tint, QWidget* parent)
    : QWidget(parent), m_progress(new SpringValue(this, progress)), m_tint(std::move(tint))
{
    setFixedHeight(height);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Waterline::setTint(QGradientStops tint)
{
    if (tint != m_tint) {
        m_tint = std::move(tint);
        update();
    }
}

void Waterline::setProgress(double progress)
{
    m_progress->setTarget(progress);
}

double Waterline::progress() const
{
    return m_progress->target();
}

double Waterline::fillWidth() const
{
    return ComponentGeometry::waterlineFillWidth(m_progress->shown(), width(), height());
}

QSize Waterline::sizeHint() const
{
    return {160, height()};
}

QSize Waterline::minimumSizeHint() const
{
    return {height(), height()};
}

void Waterline::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(capsule(rect()), KS::track());
    const QRectF fill(0, 0, fillWidth(), height());
    QLinearGradient gradient(fill.topLeft(), fill.topRight());
    gradient.setStops(m_tint);
    painter.fillPath(capsule(fill), gradient);
}

} // namespace kestrove
