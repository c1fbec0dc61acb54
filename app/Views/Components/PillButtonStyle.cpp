#include "Views/Components/PillButtonStyle.h"

#include "ViewLogic/Design/ComponentGeometry.h"
#include "Views/Components/Shapes.h"
#include "Views/Theme.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>

namespace kestrove {

namespace {
constexpr int kInsetAcross = 12;
constexpr int kInsetDown = 7;

constexpr qreal kDisabledOpacity = 0.4;
} // namespace

QFont PillButtonStyle::font()
{
    return uiFont(12, QFont::DemiBold);
}

QFont PillButtonStyle::labelFont() const
{
    return uiFont(labelSize, QFont::DemiBold);
}

QSize PillButtonStyle::sizeFor(const QString& label) const
{
    const QFontMetrics metrics(labelFont());
    return {metrics.horizontalAdvance(label) + 2 * kInsetAcross, metrics.height() + 2 * kInsetDown};
}

void PillButtonStyle::paint(QPainter& painter, const QRectF& bounds, const QString& label,
                            bool pressed) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(painter.opacity() * (pressed ? 0.85 : 1.0));
    const QPainterPath shape = capsule(bounds);
    if (prominent) {
        QLinearGradient gradient(bounds.topLeft(), bounds.topRight());
        gradient.setStops(KS::deepGradient());
        painter.fillPath(shape, gradient);
    } else {
        QColor fill(Qt::white);
        fill.setAlphaF(pressed ? 0.14f : 0.08f);
        painter.fillPath(shape, fill);
        painter.setPen(QPen(KS::border(), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(capsule(bounds.adjusted(0.5, 0.5, -0.5, -0.5)));
    }
    painter.setFont(labelFont());
    painter.setPen(prominent ? KS::ink() : KS::text());
    painter.drawText(bounds, Qt::AlignCenter | Qt::TextSingleLine, label);
    painter.restore();
}

PillButton::PillButton(const QString& text, PillButtonStyle style, QWidget* parent)
    : QPushButton(text, parent), m_style(style)
{
    setFont(m_style.labelFont());
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
}

QSize PillButton::sizeHint() const
{
    return m_style.sizeFor(text());
}

void PillButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!isEnabled()) {
        painter.setOpacity(kDisabledOpacity);
    }
    m_style.paint(painter, rect(), text(), isDown());
}

bool PillButton::hitButton(const QPoint& pos) const
{
    return ComponentGeometry::capsuleContains(width(), height(), pos.x() + 0.5, pos.y() + 0.5);
}

} // namespace kestrove
