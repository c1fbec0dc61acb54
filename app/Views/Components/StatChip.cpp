#include "Views/Components/StatChip.h"

#include "Views/Theme.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kestrove {

namespace {

constexpr int kMinimumWidth = 84;
constexpr int kSpacing = 3;

QFont valueFont()
{
    return uiFont(17, QFont::Bold);
}

QFont labelFont()
{
    return uiFont(11);
}

} // namespace

StatChip::StatChip(const QString& label, const QString& value, const QColor& tint, QWidget* parent)
    : QWidget(parent), m_label(label), m_value(value), m_tint(tint)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void StatChip::setValue(const QString& value)
{
    m_value = value;
    updateGeometry();
    update();
}

QSize StatChip::sizeHint() const
{
    const QFontMetrics value(valueFont());
    const QFontMetrics label(labelFont());
    // Fractional advances, rounded up: whole-pixel ones can fall short of what eliding measures
    // at a device pixel ratio of 2, and the value would be cut.
    const auto advance = [](const QFont& font, const QString& text) {
        return static_cast<int>(std::ceil(QFontMetricsF(font).horizontalAdvance(text))) + 1;
    };
    const int width =
        std::max({kMinimumWidth, advance(valueFont(), m_value), advance(labelFont(), m_label)});
    return {width, value.height() + kSpacing + label.height()};
}

QSize StatChip::minimumSizeHint() const
{
    return {kMinimumWidth, sizeHint().height()};
}

void StatChip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics value(valueFont());
    const QFontMetrics label(labelFont());
    // One line each: a value longer than the room is cut short, never wrapped.
    painter.setFont(valueFont());
    painter.setPen(m_tint);
    painter.drawText(0, value.ascent(), value.elidedText(m_value, Qt::ElideRight, width()));
    painter.setFont(labelFont());
    painter.setPen(KS::textTertiary());
    painter.drawText(0, value.height() + kSpacing + label.ascent(),
                     label.elidedText(m_label, Qt::ElideRight, width()));
}

} // namespace kestrove
