#include "Views/Components/Eyebrow.h"

#include "Views/Theme.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace kestrove {

namespace {

// Fonts take whole pixels; 10.5 points is drawn as 21 pixels at half scale.
constexpr qreal kScale = 0.5;

QFont doubledFont()
{
    QFont font = uiFont(21, QFont::DemiBold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.4 / kScale);
    return font;
}

} // namespace

Eyebrow::Eyebrow(const QString& text, const QColor& color, QWidget* parent)
    : QWidget(parent), m_color(color)
{
    setText(text);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void Eyebrow::setText(const QString& text)
{
    m_shown = text.toUpper();
    updateGeometry();
    update();
}

QSize Eyebrow::sizeHint() const
{
    const QFontMetricsF metrics(doubledFont());
    return {static_cast<int>(std::ceil(metrics.horizontalAdvance(m_shown) * kScale)),
            static_cast<int>(std::ceil(metrics.height() * kScale))};
}

void Eyebrow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(kScale, kScale);
    const QFont font = doubledFont();
    painter.setFont(font);
    painter.setPen(m_color);
    const QFontMetricsF metrics(font);
    painter.drawText(QPointF(0, metrics.ascent()), m_shown);
}

} // namespace kestrove
