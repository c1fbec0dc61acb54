#include "ViewLogic/Today/StripData.h"

#include "core/Calendar.h"
#include "core/ContextKind.h"
#include "core/Duration.h"
#include "core/Text.h"

#include <algorithm>
#include <cmath>

namespace kestrove {

namespace {

constexpr double kMinimumSpan = 8 * 3600.0;
constexpr double kHour = 3600.0;

} // namespace

namespace StripData {

Range range(const std::vector<Segment>& segments, Date day, Date now)
{
    const Date dayStart = Calendar::startOfDay(day);
    const Date dayEnd = Calendar::addingDays(dayStart, 1);
    const Segment* first = nullptr;
    const Segment* last = nullptr;
    for (const Segment& segment : segments) {
        if (segment.kind == ContextKind::idle) {
            continue;
        }
        if (!first) {
            first = &segment;
        }
        last = &segment;
    }
    const auto parts = Calendar::components(dayStart);
    Date start = first ? Calendar::startOfHour(first->start)
                       : Calendar::date(parts.year, parts.month, parts.day, 8);
    const Date lastEnd = last ? last->end : now;
    Date end = std::max(lastEnd, std::min(dayEnd, now));
    end = Calendar::startOfHour(end) + kHour;
    end = std::min(end, dayEnd);
    if (end - start < kMinimumSpan) {
        end = std::min(start + kMinimumSpan, dayEnd);
        if (end - start < kMinimumSpan) {
            start = std::max(end - kMinimumSpan, dayStart);
        }
    }
    return {start, end};
}

std::vector<Segment> coalesce(std::vector<Segment> segments)
{
    std::stable_sort(segments.begin(), segments.end(),
                     [](const Segment& a, const Segment& b) { return a.start < b.start; });
    std::vector<Segment> result;
    result.reserve(segments.size());
    for (Segment& segment : segments) {
        if (!result.empty()) {
            Segment& kept = result.back();
            if (kept.kind == segment.kind && kept.project == segment.project &&
                std::abs(kept.end - segment.start) < 1.0) {
                // A segment that starts just before the kept one ends must not cut it short.
                kept.end = std::max(kept.end, segment.end);
                continue;
            }
        }
        result.push_back(std::move(segment));
    }
    return result;
}

} // namespace StripData

double StripGeometry::position(Date instant) const
{
    const double seconds = instant - rangeStart;
    double fraction = span() >= 1.0 ? seconds / span() : seconds;
    if (std::isnan(fraction)) {
        fraction = 0;
    }
    return width * std::clamp(fraction, 0.0, 1.0);
}

Date StripGeometry::instantAt(double x) const
{
    return rangeStart + std::max(span(), 1.0) * (x / std::max(width, 1.0));
}

double barDepth(ContextKind kind)
{
    switch (kind) {
    case ContextKind::deep:
        return 1.0;
    case ContextKind::shallow:
        return 0.42;
    case ContextKind::distraction:
        return 0.26;
    case ContextKind::neutral:
        return 0.16;
    case ContextKind::idle:
        break;
    }
    return 0;
}

std::vector<StripBar> stripBars(const std::vector<Segment>& segments, const StripGeometry& geometry)
{
    std::vector<StripBar> bars;
    bars.reserve(segments.size());
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const Segment& segment = segments[i];
        if (segment.kind == ContextKind::idle) {
            continue;
        }
        const double x = geometry.position(segment.start);
        const double xEnd = geometry.position(segment.end);
        bars.push_back({i, segment.kind, x, std::max(xEnd - x, 1.0), barDepth(segment.kind)});
    }
    return bars;
}

std::optional<std::size_t> hoveredSegment(const std::vector<Segment>& segments,
                                          const StripGeometry& geometry, double x)
{
    const Date instant = geometry.instantAt(x);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const Segment& segment = segments[i];
        if (segment.kind != ContextKind::idle && segment.start <= instant &&
            instant < segment.end) {
            return i;
        }
    }
    return std::nullopt;
}

std::vector<Date> hourTicks(Date rangeStart, Date rangeEnd)
{
    const double span = rangeEnd - rangeStart;
    int step = 1;
    if (span >= 1.0) {
        const double hours = span / kHour;
        step = hours > 14 ? 3 : hours > 8 ? 2 : 1;
    }
    Date candidate = Calendar::startOfHour(rangeStart);
    if (candidate < rangeStart) {
        candidate += kHour;
    }
    std::vector<Date> ticks;
    for (; candidate <= rangeEnd; candidate += kHour) {
        if (Calendar::hour(candidate) % step == 0) {
            ticks.push_back(candidate);
        }
    }
    return ticks;
}

double tickLabelX(double tickPosition, double width)
{
    return std::max(std::min(tickPosition - 10, width - 28), 0.0);
}

double tooltipX(double hoverX, double width)
{
    return std::min(std::max(hoverX - kStripTooltipWidth / 2, 0.0),
                    std::max(width - kStripTooltipWidth, 0.0));
}

std::string stripKindLabel(ContextKind kind)
{
    return isActive(kind) ? std::string(displayName(kind)) : std::string();
}

StripTooltip stripTooltip(const Segment& segment, const std::string& locale)
{
    StripTooltip tooltip;
    tooltip.kindLabel = stripKindLabel(segment.kind);
    tooltip.timeRange =
        clockString(segment.start, locale) + "\u2013" + clockString(segment.end, locale);
    const std::string& hint = segment.hintLabel();
    tooltip.detail = segment.project ? *segment.project + " · " + hint : hint;
    if (!segment.windowTitle.empty() && segment.windowTitle != hint) {
        tooltip.title = segment.windowTitle;
    }
    return tooltip;
}

} // namespace kestrove
