#include "Views/Components/ProgressRingView.h"

#include "ViewLogic/Design/ComponentGeometry.h"
#include "Views/Components/SpringValue.h"
#include "Views/Theme.h"

#include <QConicalGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace kestrove {

ProgressRingView::ProgressRingView(double progress, int lineWidth, QWidget* parent)
    : QWidget(parent), m_progress(new SpringValue(this, progress)), m_lineWidth(lineWidth)
{}

void ProgressRingView::setProgress(double progress)
{
    m_progress->setTarget(progress);
}

double ProgressRingView::progress() const
{
    return m_progress->target();
}

void ProgressRingView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The stroke stays inside the frame: the circle runs half a line width in from its edge.
    const qreal side = std::min(width(), height());
    const qreal inset = m_lineWidth / 2.0;
    const QRectF circle(QPointF((width() - side) / 2 + inset, (height() - side) / 2 + inset),
                        QSizeF(side - 2 * inset, side - 2 * inset));
    if (circle.width() <= 0) {
        return;
    }
    QPen track(KS::track(), m_lineWidth, Qt::SolidLine, Qt::FlatCap);
    painter.setPen(track);
    painter.drawEllipse(circle);

    const ComponentGeometry::RingArc arc = ComponentGeometry::ringArc(m_progress->shown());
    if (!arc.visible) {
        return;
    }
    // A conical gradient runs counter-clockwise; reversed stops make it run clockwise.
    QConicalGradient gradient(circle.center(), ComponentGeometry::ringGradientStartDegrees);
    gradient.setStops({{0.0, KS::deepLight()}, {0.5, KS::deep()}, {1.0, KS::deepDark()}});
    QPainterPath path;
    path.arcMoveTo(circle, arc.startDegrees);
    path.arcTo(circle, arc.startDegrees, arc.sweepDegrees);
    painter.setPen(QPen(QBrush(gradient), m_lineWidth, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(path);
}

} // namespace kestrove
