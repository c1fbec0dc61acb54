#include "Views/Components/KSCard.h"

#include "Views/Components/Shapes.h"
#include "Views/Theme.h"

#include <QPainter>
#include <QVBoxLayout>

namespace kestrove {

namespace {
constexpr qreal kCornerRadius = 16;
}

KSCard::KSCard(QWidget* content, int padding, QWidget* parent)
    : QWidget(parent), m_content(content), m_padding(padding)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(0);
    layout->addWidget(content);
}

void KSCard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = rect();
    painter.fillPath(continuousRoundedRect(bounds, kCornerRadius), KS::surface());
    // The hairline lies inside the card, half a point in, so the widget's edge does not cut it.
    QPen outline(KS::border(), 1);
    outline.setJoinStyle(Qt::MiterJoin);
    outline.setCapStyle(Qt::FlatCap);
    painter.setPen(outline);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(
        continuousRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius - 0.5));
}

KSCard* ksCard(QWidget* content, int padding)
{
    return new KSCard(content, padding);
}

} // namespace kestrove
