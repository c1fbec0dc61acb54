#pragma once

#include "ViewLogic/Today/StripData.h"

#include <QWidget>

#include <optional>
#include <vector>

class QPainter;
class QVariantAnimation;

namespace kestrove {

// The band of a day's segments, painted on any painter (the strip widget, the share card):
// dark water with a faint surface line, a bar per non-idle segment hanging from the top edge
// as deep as its kind, and the now marker. `band` is the band's own rectangle.
void paintDepthBand(QPainter& painter, const QRectF& band, const std::vector<Segment>& segments,
                    StripData::Range range, std::optional<Date> now = std::nullopt,
                    std::optional<std::size_t> hovered = std::nullopt);
// The hour labels under a band `width` wide, in a row whose top-left is `origin`.
void paintDepthAxis(QPainter& painter, QPointF origin, double width, StripData::Range range);
// The height of the tooltip card of one segment.
double depthTooltipHeight(const Segment& segment);
// The tooltip card of one segment, its top-left at `origin`.
void paintDepthTooltip(QPainter& painter, QPointF origin, const Segment& segment);

// The strip as a widget: the band, the tooltip room below it while a segment is hovered, and
// the hour axis.
class DepthStrip final : public QWidget
{
public:
    DepthStrip(std::vector<Segment> segments, Date rangeStart, Date rangeEnd,
               std::optional<Date> now, bool showAxis, bool interactive, int barHeight,
               QWidget* parent = nullptr);

    const std::vector<Segment>& segments() const { return m_segments; }
    std::optional<std::size_t> hovered() const { return m_hovered; }
    double hoverX() const { return m_hoverX; }
    // As the pointer would: over the band at x, or away from it.
    void hoverAt(double x);
    void leave();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    StripGeometry geometry() const;
    void setHovered(std::optional<std::size_t> hovered);
    int contentHeight(double room) const;

    std::vector<Segment> m_segments;
    StripData::Range m_range;
    std::optional<Date> m_now;
    bool m_showAxis;
    bool m_interactive;
    int m_barHeight;
    std::optional<std::size_t> m_hovered;
    double m_hoverX = 0;
    double m_room = 0;
    QVariantAnimation* m_roomAnimation;
};

} // namespace kestrove
