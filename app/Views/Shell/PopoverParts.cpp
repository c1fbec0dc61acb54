#include "Views/Shell/PopoverParts.h"

#include "Views/Components/Symbol.h"
#include "Views/PlainText.h"
#include "Views/Theme.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace kestrove {

namespace {

constexpr int kSymbolGap = 5;
constexpr qreal kDisabledOpacity = 0.4;

} // namespace

ElidedText::ElidedText(const QString& text, int pixelSize, QFont::Weight weight,
                       const QColor& colour, QWidget* parent)
    : QWidget(parent), m_text(text), m_colour(colour)
{
    setFont(uiFont(pixelSize, weight));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ElidedText::setText(const QString& text)
{
    if (text == m_text) {
        return;
    }
    m_text = text;
    updateGeometry();
    update();
}

void ElidedText::setColour(const QColor& colour)
{
    if (colour == m_colour) {
        return;
    }
    m_colour = colour;
    update();
}

void ElidedText::setMaximumLines(int lines)
{
    m_maximumLines = std::max(1, lines);
    // A fixed height would hold it to one line; its height comes from its width instead.
    QSizePolicy policy(QSizePolicy::Expanding,
                       m_maximumLines > 1 ? QSizePolicy::Preferred : QSizePolicy::Fixed);
    policy.setHeightForWidth(m_maximumLines > 1);
    setSizePolicy(policy);
    updateGeometry();
}

QStringList ElidedText::linesFor(int width) const
{
    const QFontMetrics metrics(font());
    if (m_maximumLines == 1 || width <= 0) {
        return {metrics.elidedText(m_text, Qt::ElideRight, width)};
    }
    QTextLayout layout(m_text, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (static_cast<int>(lines.size()) == m_maximumLines - 1) {
            // The last line takes the rest of the text, cut where it runs out.
            lines << metrics.elidedText(m_text.mid(line.textStart()).simplified(), Qt::ElideRight,
                                        width);
            break;
        }
        lines << m_text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

QString ElidedText::shownText() const
{
    return linesFor(width()).join(QLatin1Char('\n'));
}

int ElidedText::heightForWidth(int width) const
{
    const QFontMetrics metrics(font());
    const auto lines = std::max<qsizetype>(1, linesFor(width).size());
    return static_cast<int>(lines) * metrics.lineSpacing() - metrics.leading();
}

QSize ElidedText::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(m_text), metrics.height()};
}

QSize ElidedText::minimumSizeHint() const
{
    return {0, QFontMetrics(font()).height()};
}

void ElidedText::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(m_colour);
    if (m_maximumLines == 1) {
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         shownText());
        return;
    }
    const QFontMetrics metrics(font());
    int y = metrics.ascent();
    for (const QString& line : linesFor(width())) {
        painter.drawText(0, y, line);
        y += metrics.lineSpacing();
    }
}

PlainButton::PlainButton(const QString& symbol, const QString& text, QFont font, QColor tint,
                         QWidget* parent)
    : QAbstractButton(parent), m_symbol(symbol), m_tint(std::move(tint))
{
    setText(text);
    setFont(font);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus);
}

void PlainButton::setSymbol(const QString& symbol)
{
    if (symbol == m_symbol) {
        return;
    }
    m_symbol = symbol;
    updateGeometry();
    update();
}

void PlainButton::setTint(const QColor& tint)
{
    if (tint == m_tint) {
        return;
    }
    m_tint = tint;
    update();
}

void PlainButton::setSymbolSize(int size)
{
    m_symbolSize = size;
    updateGeometry();
}

int PlainButton::symbolSide() const
{
    if (m_symbol.isEmpty()) {
        return 0;
    }
    if (m_symbolSize > 0) {
        return m_symbolSize;
    }
    return QFontMetrics(font()).capHeight() + 2;
}

QSize PlainButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    const int textWidth = text().isEmpty() ? 0 : metrics.horizontalAdvance(text());
    const int side = symbolSide();
    const int gap = side > 0 && textWidth > 0 ? kSymbolGap : 0;
    return {side + gap + textWidth + 4, std::max(metrics.height(), side) + 4};
}

void PlainButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(!isEnabled() ? kDisabledOpacity : isDown() ? 0.6 : 1.0);
    const int side = symbolSide();
    qreal x = 2;
    if (side > 0) {
        paintSymbol(painter, m_symbol, QRectF(x, (height() - side) / 2.0, side, side), m_tint);
        x += side + kSymbolGap;
    }
    if (!text().isEmpty()) {
        painter.setFont(font());
        painter.setPen(m_tint);
        painter.drawText(QRectF(x, 0, width() - x, height()),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
    }
}

} // namespace kestrove
