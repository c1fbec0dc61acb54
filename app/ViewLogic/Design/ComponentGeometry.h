#pragma once

namespace kestrove::ComponentGeometry {

// A progress value as the bars and rings draw it: not a number and anything below 0 count as
// 0, anything above 1 as 1.
double clampedProgress(double progress);

// The waterline's fill: as wide as the progress says, but never narrower than the bar is high,
// so that no progress still shows a dot at the leading end.
double waterlineFillWidth(double progress, double width, double height);

// An arc in the angles a painter takes: degrees counter-clockwise from three o'clock, a
// negative sweep running clockwise.
struct RingArc
{
    bool visible = false;
    double startDegrees = 0;
    double sweepDegrees = 0;
};

// The progress ring's arc: from twelve o'clock, clockwise, a whole turn at 1 or more; no arc
// at all for 0 or less.
RingArc ringArc(double progress);

// The ring's gradient runs clockwise once around the centre, from its dark end at nine o'clock
// (180 degrees in painter angles) back to nine o'clock.
inline constexpr double ringGradientStartDegrees = 180.0;

// Whether a point, relative to the top-left corner of a w × h box, lies inside the capsule
// drawn in it (a rectangle whose short sides are half circles).
bool capsuleContains(double width, double height, double x, double y);

// How far a critically damped spring has moved from its start to its target after `elapsed`
// seconds: 0 at the start, approaching 1 without overshoot; `response` is its period.
double springProgress(double elapsed, double response);

// The time after which a spring of `response` is treated as settled (within half a percent).
double springSettleTime(double response);

} // namespace kestrove::ComponentGeometry
