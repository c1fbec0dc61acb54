#include "Views/Dashboard/BarChartView.h"

#include "Views/Components/Shapes.h"
#include "Views/Theme.h"

#include <QPainter>

namespace kestrove {

namespace {

QRectF qrect(const ChartRect& rect)
{
    return {rect.x, rect.y, rect.width, rect.height};
}

} // namespace

BarChartView::BarChartView(BarChartModel model, Style style, int height, QWidget* parent)
    : QWidget(parent), m_model(std::move(model)), m_style(std::move(style))
{
    setFixedHeight(height);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void BarChartView::setModel(BarChartModel model)
{
    m_model = std::move(model);
    update();
}

BarChartLayout BarChartView::chartLayout() const
{
    return BarChartLayout::make(m_model, width(), height(), m_style.barRatio);
}

QSize BarChartView::sizeHint() const
{
    return {400, height()};
}

QSize BarChartView::minimumSizeHint() const
{
    return {120, height()};
}

void BarChartView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const BarChartLayout layout = chartLayout();
    const QRectF plot = qrect(layout.plot);

    const QFont axisFont = uiFont(9, QFont::Medium);
    painter.setFont(axisFont);
    for (std::size_t i = 0; i < layout.tickY.size(); ++i) {
        const double y = layout.tickY[i];
        painter.setPen(QPen(KS::border(), 0.5));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(KS::textTertiary());
        painter.drawText(QRectF(0, y - 8, BarChartLayout::kAxisWidth - 6, 16),
                         Qt::AlignRight | Qt::AlignVCenter,
                         QString::fromStdString(m_model.ticks[i].label));
    }

    const double band =
        m_model.bars.empty() ? 0 : plot.width() / static_cast<double>(m_model.bars.size());
    const QFont categoryFont = uiFont(m_style.categoryLabelSize);
    const int stride = std::max(1, m_model.labelStride);
    for (std::size_t i = 0; i < m_model.bars.size(); ++i) {
        const ChartBar& bar = m_model.bars[i];
        const QRectF rect = qrect(layout.bars[i]);
        if (rect.height() > 0) {
            const double radius = std::min(m_style.cornerRadius, rect.height() / 2);
            const QPainterPath shape = continuousRoundedRect(rect, radius);
            if (bar.isCurrent && m_style.gradientOnCurrent) {
                QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
                gradient.setColorAt(0, KS::deepLight());
                gradient.setColorAt(0.5, KS::deep());
                gradient.setColorAt(1, KS::deepDark());
                painter.fillPath(shape, gradient);
            } else {
                QColor fill = m_style.colour;
                fill.setAlphaF(
                    static_cast<float>(fill.alphaF() * (bar.isCurrent ? m_style.currentOpacity
                                                                      : m_style.otherOpacity)));
                painter.fillPath(shape, fill);
            }
        }
        if (!bar.annotation.empty()) {
            painter.setFont(axisFont);
            painter.setPen(KS::textTertiary());
            painter.drawText(QRectF(plot.left() + band * static_cast<double>(i),
                                    rect.top() - BarChartLayout::kAnnotationHeight, band,
                                    BarChartLayout::kAnnotationHeight - 2),
                             Qt::AlignHCenter | Qt::AlignBottom,
                             QString::fromStdString(bar.annotation));
        }
        if (i % static_cast<std::size_t>(stride) == 0) {
            painter.setFont(categoryFont);
            painter.setPen(m_style.categoryLabelColour);
            const double x = plot.left() + band * static_cast<double>(i);
            // A strided label may be wider than its own band: it is centred on its bar anyway.
            const double labelWidth = band * stride;
            painter.drawText(QRectF(x + band / 2 - labelWidth / 2, plot.bottom() + 2, labelWidth,
                                    BarChartLayout::kLabelHeight - 2),
                             Qt::AlignHCenter | Qt::AlignVCenter,
                             QString::fromStdString(bar.label));
        }
    }

    if (layout.goalY) {
        QColor line = KS::text();
        line.setAlphaF(0.35F);
        QPen pen(line, 1, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
        pen.setDashPattern({4, 4});
        painter.setPen(pen);
        painter.drawLine(QPointF(plot.left(), *layout.goalY), QPointF(plot.right(), *layout.goalY));
    }
}

} // namespace kestrove
