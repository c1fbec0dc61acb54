#include "ViewLogic/Design/ComponentGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kestrove::ComponentGeometry {

double clampedProgress(double progress)
{
    if (std::isnan(progress) || progress < 0) {
        return 0;
    }
    return std::min(progress, 1.0);
}

double waterlineFillWidth(double progress, double width, double height)
{
    return std::max(height, width * clampedProgress(progress));
}

RingArc ringArc(double progress)
{
    if (std::isnan(progress) || progress <= 0) {
        return {};
    }
    return {true, 90.0, -360.0 * std::min(progress, 1.0)};
}

bool capsuleContains(double width, double height, double x, double y)
{
    if (width <= 0 || height <= 0 || x < 0 || y < 0 || x > width || y > height) {
        return false;
    }
    const double radius = std::min(width, height) / 2;
    // The nearest point on the capsule's spine: a segment along its long axis.
    const double cx = std::clamp(x, radius, width - radius);
    const double cy = std::clamp(y, radius, height - radius);
    const double dx = x - cx;
    const double dy = y - cy;
    return dx * dx + dy * dy <= radius * radius;
}

double springProgress(double elapsed, double response)
{
    if (elapsed <= 0 || response <= 0) {
        return elapsed > 0 ? 1.0 : 0.0;
    }
    const double omega = 2 * std::numbers::pi / response;
    const double t = omega * elapsed;
    return 1 - (1 + t) * std::exp(-t);
}

double springSettleTime(double response)
{
    // (1 + t)e^-t is below 0.005 from t = 7.5 on.
    return response * 7.5 / (2 * std::numbers::pi);
}

} // namespace kestrove::ComponentGeometry
