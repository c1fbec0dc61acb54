#include "Views/Components/KindDot.h"

#include "Views/Theme.h"

#include <QPainter>

namespace kestrove {

KindDot::KindDot(ContextKind kind, int size, QWidget* parent) : QWidget(parent), m_kind(kind)
{
    setFixedSize(size, size);
}

void KindDot::setKind(ContextKind kind)
{
    if (kind != m_kind) {
        m_kind = kind;
        update();
    }
}

void KindDot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(KS::kindColor(m_kind));
    painter.drawEllipse(QRectF(rect()));
}

} // namespace kestrove
