#include "Views/Components/SymbolPill.h"

#include "Views/Components/Symbol.h"
#include "Views/Theme.h"

#include <QFontMetrics>
#include <QPainter>

namespace kestrove {

namespace {

constexpr int kSymbolGap = 5;
constexpr qreal kDisabledOpacity = 0.4;

} // namespace

SymbolPill::SymbolPill(const QString& symbol, const QString& text, PillButtonStyle style,
                       QWidget* parent)
    : PillButton(text, style, parent), m_symbol(symbol)
{}

void SymbolPill::setSymbol(const QString& symbol)
{
    if (symbol != m_symbol) {
        m_symbol = symbol;
        update();
    }
}

QSize SymbolPill::sizeHint() const
{
    const QSize label = pillStyle().sizeFor(text());
    return {label.width() + QFontMetrics(pillStyle().labelFont()).capHeight() + 2 + kSymbolGap,
            label.height()};
}

void SymbolPill::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!isEnabled()) {
        painter.setOpacity(kDisabledOpacity);
    }
    pillStyle().paint(painter, rect(), QString(), isDown());
    const QFont font = pillStyle().labelFont();
    const QFontMetrics metrics(font);
    const int side = metrics.capHeight() + 2;
    const int contentWidth = side + kSymbolGap + metrics.horizontalAdvance(text());
    const qreal x = (width() - contentWidth) / 2.0;
    const QColor ink = pillStyle().prominent ? KS::ink() : KS::text();
    painter.setRenderHint(QPainter::Antialiasing);
    if (isDown()) {
        painter.setOpacity(painter.opacity() * 0.85);
    }
    paintSymbol(painter, m_symbol, QRectF(x, (height() - side) / 2.0, side, side), ink);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(QRectF(x + side + kSymbolGap, 0, width(), height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
}

} // namespace kestrove
