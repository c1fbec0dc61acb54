#pragma once

#include "core/Date.h"
#include "core/Segment.h"

#include <optional>
#include <string>
#include <vector>

namespace kestrove {

// What the depth strip is drawn from: the window of hours a day is shown over, the day's
// segments with touching neighbours merged, and where each instant, bar, tick and tooltip goes
// on a band of a given width. All of it in the process's time zone.
namespace StripData {

struct Range
{
    Date start = 0;
    Date end = 0;

    bool operator==(const Range&) const = default;
};

// The window for `segments` of the day containing `day`: from the hour of the first active
// segment (08:00 without one) to the hour after the later of the last active end and now,
// never past the day's end, and at least eight hours long.
Range range(const std::vector<Segment>& segments, Date day, Date now);

// Sorted by start; a segment that touches the previous kept one (within a second) with the
// same kind and project extends it to the later of the two ends.
std::vector<Segment> coalesce(std::vector<Segment> segments);

} // namespace StripData

// The horizontal placement of a strip `width` points wide over [rangeStart, rangeEnd].
struct StripGeometry
{
    Date rangeStart = 0;
    Date rangeEnd = 0;
    double width = 0;

    double span() const { return rangeEnd - rangeStart; }
    // The x of an instant, clamped to the band; a window under a second is not divided by.
    double position(Date instant) const;
    // The instant under x, for the pointer.
    Date instantAt(double x) const;
};

// One bar of the band: it hangs from the top edge, `depth` being its share of the bar height.
struct StripBar
{
    std::size_t index = 0; // into the segments drawn
    ContextKind kind = ContextKind::neutral;
    double x = 0;
    double width = 0;
    double depth = 0;

    bool operator==(const StripBar&) const = default;
};

// How far a kind's bar reaches below the surface, as a share of the bar height; 0 for idle.
double barDepth(ContextKind kind);
// The bars of the non-idle segments, in the order given; never thinner than 1 pt.
std::vector<StripBar> stripBars(const std::vector<Segment>& segments,
                                const StripGeometry& geometry);
// The first non-idle segment under x, if any.
std::optional<std::size_t> hoveredSegment(const std::vector<Segment>& segments,
                                          const StripGeometry& geometry, double x);
// The whole hours that get a label: every hour up to eight hours of window, every second hour
// up to fourteen, every third beyond.
std::vector<Date> hourTicks(Date rangeStart, Date rangeEnd);
// The left edge of a tick's label, kept inside the band.
double tickLabelX(double tickPosition, double width);
// The left edge of the 180 pt tooltip, centred on the pointer but kept inside the band.
double tooltipX(double hoverX, double width);

// The tooltip of one segment.
struct StripTooltip
{
    std::string kindLabel;
    std::string timeRange;
    std::string detail;               // project and hint
    std::optional<std::string> title; // the window title, when it says more than the hint

    bool operator==(const StripTooltip&) const = default;
};

// "Deep work", "Shallow", "Distraction", "Neutral"; empty for idle.
std::string stripKindLabel(ContextKind kind);
StripTooltip stripTooltip(const Segment& segment, const std::string& locale = {});

inline constexpr double kStripTooltipWidth = 180;
inline constexpr double kStripTooltipRoom = 56;

} // namespace kestrove
