#include "Views/Components/DepthStrip.h"

#include "Views/Components/Shapes.h"
#include "Views/Theme.h"
#include "core/Calendar.h"
#include "core/InsightWriter.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QVariantAnimation>

#include <cmath>

namespace kestrove {

namespace {

constexpr double kBandRadius = 6;
constexpr double kGap = 6;
constexpr double kAxisHeight = 12;
constexpr int kRoomAnimationMs = 150;

QBrush fill(ContextKind kind, double top, double bottom)
{
    switch (kind) {
    case ContextKind::deep: {
        QLinearGradient gradient(0, top, 0, bottom);
        gradient.setColorAt(0, KS::deepLight());
        gradient.setColorAt(0.5, KS::deep());
        gradient.setColorAt(1, KS::deepDark());
        return gradient;
    }
    case ContextKind::shallow: {
        QColor colour = KS::shallow();
        colour.setAlphaF(0.85F);
        return colour;
    }
    case ContextKind::distraction: {
        QColor colour = KS::distraction();
        colour.setAlphaF(0.85F);
        return colour;
    }
    case ContextKind::neutral: {
        QColor colour = KS::neutral();
        colour.setAlphaF(colour.alphaF() * 0.5F);
        return colour;
    }
    case ContextKind::idle:
        break;
    }
    return Qt::NoBrush;
}

QString elided(const QString& text, const QFont& font, double width)
{
    return QFontMetricsF(font).elidedText(text, Qt::ElideRight, width);
}

} // namespace

void paintDepthBand(QPainter& painter, const QRectF& band, const std::vector<Segment>& segments,
                    StripData::Range range, std::optional<Date> now,
                    std::optional<std::size_t> hovered)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = continuousRoundedRect(band, kBandRadius);
    painter.setClipPath(shape);
    painter.fillPath(shape, KS::idle());
    painter.fillRect(QRectF(band.left(), band.top(), band.width(), 1), QColor(255, 255, 255, 26));

    const StripGeometry geometry{range.start, range.end, band.width()};
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const StripBar& bar : stripBars(segments, geometry)) {
        const double height = band.height() * bar.depth;
        painter.setOpacity(!hovered || *hovered == bar.index ? 1.0 : 0.55);
        painter.fillRect(QRectF(band.left() + bar.x, band.top(), bar.width, height),
                         fill(bar.kind, band.top(), band.top() + band.height()));
    }
    painter.setOpacity(1.0);
    if (now && range.start <= *now && *now <= range.end) {
        QColor marker = KS::text();
        marker.setAlphaF(0.7F);
        const double x = std::min(geometry.position(*now), band.width() - 1);
        painter.fillRect(QRectF(band.left() + x, band.top(), 1, band.height()), marker);
    }
    painter.restore();
}

void paintDepthAxis(QPainter& painter, QPointF origin, double width, StripData::Range range)
{
    painter.save();
    painter.setFont(uiFont(9, QFont::Medium));
    painter.setPen(KS::textTertiary());
    const StripGeometry geometry{range.start, range.end, width};
    const QFontMetricsF metrics(painter.font());
    for (const Date tick : hourTicks(range.start, range.end)) {
        const QString text = QString::fromStdString(InsightWriter::hourLabel(Calendar::hour(tick)));
        const double x = tickLabelX(geometry.position(tick), width);
        painter.drawText(
            QRectF(origin.x() + x, origin.y(), metrics.horizontalAdvance(text) + 1, kAxisHeight),
            Qt::AlignLeft | Qt::AlignVCenter, text);
    }
    painter.restore();
}

double depthTooltipHeight(const Segment& segment)
{
    const double line1 = QFontMetricsF(uiFont(11, QFont::DemiBold)).height();
    const double line2 = QFontMetricsF(uiFont(11)).height();
    const double line3 = stripTooltip(segment).title ? QFontMetricsF(uiFont(10)).height() + 3 : 0;
    return 8 + line1 + 3 + line2 + line3 + 8;
}

void paintDepthTooltip(QPainter& painter, QPointF origin, const Segment& segment)
{
    const StripTooltip tooltip = stripTooltip(segment);
    const double inner = kStripTooltipWidth - 16;
    const QFont kindFont = uiFont(11, QFont::DemiBold);
    const QFont timeFont = uiFont(10, QFont::Medium);
    const QFont detailFont = uiFont(11);
    const QFont titleFont = uiFont(10);
    const double line1 = QFontMetricsF(kindFont).height();
    const double line2 = QFontMetricsF(detailFont).height();
    const double line3 = tooltip.title ? QFontMetricsF(titleFont).height() + 3 : 0;
    const QRectF card(origin, QSizeF(kStripTooltipWidth, 8 + line1 + 3 + line2 + line3 + 8));

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = continuousRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), 8);
    painter.fillPath(shape, KS::surface2());
    painter.setPen(QPen(KS::border(), 1));
    painter.drawPath(shape);

    double x = card.left() + 8;
    double y = card.top() + 8;
    painter.setPen(Qt::NoPen);
    painter.setBrush(KS::kindColor(segment.kind));
    painter.drawEllipse(QRectF(x, y + (line1 - 7) / 2, 7, 7));
    x += 7 + 6;
    const QString kind = QString::fromStdString(tooltip.kindLabel);
    painter.setFont(kindFont);
    painter.setPen(KS::text());
    const double kindWidth = QFontMetricsF(kindFont).horizontalAdvance(kind);
    painter.drawText(QRectF(x, y, kindWidth + 1, line1), Qt::AlignLeft | Qt::AlignVCenter, kind);
    x += kindWidth + 6;
    painter.setFont(timeFont);
    painter.setPen(KS::textSecondary());
    const double timeWidth = card.right() - 8 - x;
    painter.drawText(QRectF(x, y, timeWidth, line1), Qt::AlignLeft | Qt::AlignVCenter,
                     elided(QString::fromStdString(tooltip.timeRange), timeFont, timeWidth));
    y += line1 + 3;
    painter.setFont(detailFont);
    painter.drawText(QRectF(card.left() + 8, y, inner, line2), Qt::AlignLeft | Qt::AlignVCenter,
                     elided(QString::fromStdString(tooltip.detail), detailFont, inner));
    if (tooltip.title) {
        y += line2 + 3;
        painter.setFont(titleFont);
        painter.setPen(KS::textTertiary());
        painter.drawText(QRectF(card.left() + 8, y, inner, line3 - 3),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         elided(QString::fromStdString(*tooltip.title), titleFont, inner));
    }
    painter.restore();
}

DepthStrip::DepthStrip(std::vector<Segment> segments, Date rangeStart, Date rangeEnd,
                       std::optional<Date> now, bool showAxis, bool interactive, int barHeight,
                       QWidget* parent)
    : QWidget(parent), m_segments(std::move(segments)), m_range{rangeStart, rangeEnd}, m_now(now),
      m_showAxis(showAxis), m_interactive(interactive), m_barHeight(barHeight),
      m_roomAnimation(new QVariantAnimation(this))
{
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(contentHeight(0));
    m_roomAnimation->setDuration(kRoomAnimationMs);
    m_roomAnimation->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_roomAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_room = value.toDouble();
        setFixedHeight(contentHeight(m_room));
        update();
    });
}

int DepthStrip::contentHeight(double room) const
{
    const double axis = m_showAxis ? kGap + kAxisHeight : 0;
    return static_cast<int>(std::ceil(m_barHeight + room + axis));
}

QSize DepthStrip::sizeHint() const
{
    return {480, contentHeight(m_room)};
}

QSize DepthStrip::minimumSizeHint() const
{
    return {120, contentHeight(m_room)};
}

StripGeometry DepthStrip::geometry() const
{
    return {m_range.start, m_range.end, static_cast<double>(width())};
}

void DepthStrip::hoverAt(double x)
{
    m_hoverX = x;
    if (!m_interactive) {
        return;
    }
    setHovered(hoveredSegment(m_segments, geometry(), x));
}

void DepthStrip::leave()
{
    if (m_interactive) {
        setHovered(std::nullopt);
    }
}

void DepthStrip::setHovered(std::optional<std::size_t> hovered)
{
    if (hovered == m_hovered) {
        update();
        return;
    }
    const bool grows = hovered.has_value() != m_hovered.has_value();
    m_hovered = hovered;
    if (grows) {
        m_roomAnimation->stop();
        m_roomAnimation->setStartValue(m_room);
        // Our font's lines are taller than the room the band keeps for the card; it grows to fit.
        m_roomAnimation->setEndValue(
            m_hovered
                ? std::max(kStripTooltipRoom, depthTooltipHeight(m_segments[*m_hovered]) + kGap)
                : 0.0);
        m_roomAnimation->start();
    }
    update();
}

void DepthStrip::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF point = event->position();
    if (point.y() >= 0 && point.y() < m_barHeight) {
        hoverAt(point.x());
    } else {
        leave();
    }
}

void DepthStrip::leaveEvent(QEvent*)
{
    leave();
}

void DepthStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const double w = width();
    paintDepthBand(painter, QRectF(0, 0, w, m_barHeight), m_segments, m_range, m_now, m_hovered);
    if (m_interactive && m_hovered && m_room > 0) {
        painter.save();
        painter.setOpacity(std::min(1.0, m_room / kStripTooltipRoom));
        painter.setClipRect(QRectF(0, m_barHeight, w, m_room));
        paintDepthTooltip(painter, QPointF(tooltipX(m_hoverX, w), m_barHeight + kGap),
                          m_segments[*m_hovered]);
        painter.restore();
    }
    if (m_showAxis) {
        paintDepthAxis(painter, QPointF(0, m_barHeight + m_room + kGap), w, m_range);
    }
}

} // namespace kestrove
