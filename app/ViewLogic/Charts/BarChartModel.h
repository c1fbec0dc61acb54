#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kestrove {

// A rectangle in the chart's own logical pixels.
struct ChartRect
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    bool operator==(const ChartRect&) const = default;
};

// One bar: its category label under it, its value in hours, whether it is the current day
// (drawn with the full gradient) and the text above it (empty: none).
struct ChartBar
{
    std::string label;
    double hours = 0;
    bool isCurrent = false;
    std::string annotation;

    bool operator==(const ChartBar&) const = default;
};

struct ChartTick
{
    double hours = 0;
    std::string label;

    bool operator==(const ChartTick&) const = default;
};

// Everything the week chart and a project's chart draw: bars over a scale from 0 to an upper
// bound, the ticks of the value axis and an optional dashed goal line. Pure numbers and texts;
// the widget only paints them.
struct BarChartModel
{
    std::vector<ChartBar> bars;
    double upperBound = 1;
    std::vector<ChartTick> ticks;
    std::optional<double> goalHours;
    // A label under every `labelStride`th bar (1: under each).
    int labelStride = 1;

    // Round tick values from 0 up to the upper bound, at most about five of them.
    static std::vector<double> tickValues(double upperBound);
    // A tick's value as it is, never cut to a whole number: "0h", "0.5h", "1h", "1.5h".
    static std::string tickLabel(double hours);
    // A bound without a goal: the first round tick at or above `largest`, at least 1 h.
    static double roundUpperBound(double largest);
    // Ticks from tickValues, labelled.
    static std::vector<ChartTick> ticksFor(double upperBound);
};

// Where each part of a chart goes in a box `width` × `height`: the value axis's labels at the
// leading edge, the category labels underneath, the bars in equal bands in between.
struct BarChartLayout
{
    static constexpr double kAxisWidth = 30;
    static constexpr double kLabelHeight = 16;
    static constexpr double kAnnotationHeight = 14;

    ChartRect plot;
    std::vector<ChartRect> bars; // zero-height bars sit on the base line
    std::vector<double> tickY;
    std::optional<double> goalY;

    static BarChartLayout make(const BarChartModel& model, double width, double height,
                               double barRatio);
};

} // namespace kestrove
