#include "Views/Components/EmptyHint.h"

#include "Views/Theme.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace kestrove {

namespace {

constexpr int kMinimumHeight = 44;
constexpr int kFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;

QFont hintFont()
{
    return uiFont(12);
}

} // namespace

EmptyHint::EmptyHint(const QString& text, QWidget* parent) : QWidget(parent), m_text(text)
{
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int EmptyHint::heightForWidth(int width) const
{
    const QFontMetrics metrics(hintFont());
    const QRect needed =
        metrics.boundingRect(QRect(0, 0, std::max(width, 1), 100000), kFlags, m_text);
    return std::max(kMinimumHeight, needed.height());
}

QSize EmptyHint::sizeHint() const
{
    const int width = std::min(QFontMetrics(hintFont()).horizontalAdvance(m_text), 480);
    return {width, heightForWidth(width)};
}

QSize EmptyHint::minimumSizeHint() const
{
    return {0, kMinimumHeight};
}

void EmptyHint::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(hintFont());
    painter.setPen(KS::textTertiary());
    painter.drawText(rect(), kFlags, m_text);
}

} // namespace kestrove
