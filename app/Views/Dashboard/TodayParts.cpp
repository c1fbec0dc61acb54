#include "Views/Dashboard/TodayParts.h"

#include "Views/Components/Eyebrow.h"
#include "Views/Components/Symbol.h"
#include "Views/PlainText.h"
#include "Views/Theme.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

namespace kestrove {

namespace {

constexpr int kInsetAcross = 12;
constexpr int kInsetDown = 7;
constexpr qreal kDisabledOpacity = 0.4;

} // namespace

QLabel* pageText(const QString& text, int pixelSize, QFont::Weight weight, const QColor& colour,
                 bool wraps)
{
    QLabel* label = textLabel(text, pixelSize, weight, colour);
    label->setWordWrap(wraps);
    if (!wraps) {
        label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
    return label;
}

QVBoxLayout* pageTitles(const QString& eyebrow, const QString& title, const char* eyebrowName,
                        const char* titleName)
{
    auto* titles = new QVBoxLayout;
    titles->setSpacing(4);
    auto* eyebrowWidget = new Eyebrow(eyebrow, KS::textTertiary());
    if (eyebrowName) {
        eyebrowWidget->setObjectName(eyebrowName);
    }
    titles->addWidget(eyebrowWidget);
    QLabel* titleLabel = pageText(title, 24, QFont::Bold, KS::text());
    if (titleName) {
        titleLabel->setObjectName(titleName);
    }
    titles->addWidget(titleLabel);
    return titles;
}

PartsPill::PartsPill(std::vector<Part> parts, PillButtonStyle style, int spacing, QWidget* parent)
    : QPushButton(parent), m_parts(std::move(parts)), m_style(style), m_spacing(spacing)
{
    QString accessible;
    for (const Part& part : m_parts) {
        if (!part.symbol) {
            accessible += (accessible.isEmpty() ? "" : " ") + part.text;
        }
    }
    setText(accessible);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
}

PartsPill* PartsPill::symbolOnly(const QString& symbol, int size)
{
    return new PartsPill({{symbol, {}, KS::text(), true, size}}, {false});
}

double PartsPill::partWidth(const Part& part) const
{
    return part.symbol ? part.symbolSize : QFontMetricsF(part.font).horizontalAdvance(part.text);
}

QSize PartsPill::sizeHint() const
{
    double width = 0;
    double height = QFontMetricsF(m_style.labelFont()).height();
    for (std::size_t i = 0; i < m_parts.size(); ++i) {
        width += partWidth(m_parts[i]) + (i > 0 ? m_spacing : 0);
        if (!m_parts[i].symbol) {
            height = std::max(height, QFontMetricsF(m_parts[i].font).height());
        }
    }
    return {static_cast<int>(std::ceil(width)) + 2 * kInsetAcross,
            static_cast<int>(std::ceil(height)) + 2 * kInsetDown};
}

void PartsPill::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!isEnabled()) {
        painter.setOpacity(kDisabledOpacity);
    }
    m_style.paint(painter, rect(), QString(), isDown());
    painter.setRenderHint(QPainter::Antialiasing);
    double x = kInsetAcross;
    const double height = this->height();
    for (const Part& part : m_parts) {
        const double width = partWidth(part);
        const QColor colour = m_style.prominent && !part.symbol ? KS::ink() : part.colour;
        if (part.symbol) {
            const double size = part.symbolSize;
            paintSymbol(painter, part.text, QRectF(x, (height - size) / 2, size, size),
                        m_style.prominent ? KS::ink() : colour);
        } else {
            painter.setFont(part.font);
            painter.setPen(colour);
            painter.drawText(QRectF(x, 0, width + 1, height), Qt::AlignLeft | Qt::AlignVCenter,
                             part.text);
        }
        x += width + m_spacing;
    }
}

} // namespace kestrove
