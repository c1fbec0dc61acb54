#include "ViewLogic/Charts/BarChartModel.h"

#include "core/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace kestrove {

namespace {

constexpr int kTargetTicks = 5;

// The smallest step of 1, 2 or 5 times a power of ten that is at least `raw`.
double roundStep(double raw)
{
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= raw * (1 - 1e-9)) {
            return factor * power;
        }
    }
    return 10 * power;
}

} // namespace

std::vector<double> BarChartModel::tickValues(double upperBound)
{
    if (!std::isfinite(upperBound) || upperBound <= 0) {
        return {0};
    }
    const double step = roundStep(upperBound / kTargetTicks);
    std::vector<double> values;
    for (int i = 0;; ++i) {
        // Multiplying, not adding, so that 0.1 steps do not drift into 0.30000000000000004.
        const double value = std::round(i * step * 1e6) / 1e6;
        if (value > upperBound + 1e-9) {
            break;
        }
        values.push_back(value);
    }
    return values;
}

std::string BarChartModel::tickLabel(double hours)
{
    std::string text = NumberFormat::fixed(hours, 2);
    // "1.50" → "1.5", "2.00" → "2".
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    if (text == "-0") {
        text = "0";
    }
    return text + "h";
}

double BarChartModel::roundUpperBound(double largest)
{
    if (!std::isfinite(largest) || largest <= 1) {
        return 1;
    }
    const double step = roundStep(largest / kTargetTicks);
    return std::ceil(largest / step - 1e-9) * step;
}

std::vector<ChartTick> BarChartModel::ticksFor(double upperBound)
{
    std::vector<ChartTick> ticks;
    for (const double value : tickValues(upperBound)) {
        ticks.push_back({value, tickLabel(value)});
    }
    return ticks;
}

BarChartLayout BarChartLayout::make(const BarChartModel& model, double width, double height,
                                    double barRatio)
{
    BarChartLayout layout;
    // Half a label's height above the plot, so that the top tick's label is not cut.
    const double top = kLabelHeight / 2;
    layout.plot = {kAxisWidth, top, std::max(0.0, width - kAxisWidth),
                   std::max(0.0, height - top - kLabelHeight)};
    const ChartRect& plot = layout.plot;
    const double upper = model.upperBound > 0 ? model.upperBound : 1;
    const auto yOf = [&](double hours) {
        const double clamped = std::clamp(hours, 0.0, upper);
        return plot.y + plot.height * (1 - clamped / upper);
    };
    for (const ChartTick& tick : model.ticks) {
        layout.tickY.push_back(yOf(tick.hours));
    }
    if (model.goalHours) {
        layout.goalY = yOf(*model.goalHours);
    }
    if (!model.bars.empty()) {
        const double band = plot.width / static_cast<double>(model.bars.size());
        const double barWidth = band * barRatio;
        for (std::size_t i = 0; i < model.bars.size(); ++i) {
            const double x = plot.x + band * static_cast<double>(i) + (band - barWidth) / 2;
            const double y = yOf(model.bars[i].hours);
            layout.bars.push_back({x, y, barWidth, plot.y + plot.height - y});
        }
    }
    return layout;
}

} // namespace kestrove
