#include "ViewLogic/Shell/StatusTitle.h"

#include "core/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace kestrove {

namespace {

std::string twoDigits(long long value)
{
    return (value < 10 ? "0" : "") + NumberFormat::integer(value);
}

// Whole units of a non-negative finite amount; anything else counts as none.
long long wholeOrZero(double value)
{
    return std::isfinite(value) && value > 0 ? static_cast<long long>(value) : 0;
}

} // namespace

std::string menuBarCountdown(const std::optional<FocusTask>& activeTask)
{
    if (!activeTask) {
        return "0:00";
    }
    const double left = activeTask->estimatedSeconds - activeTask->cumulativeOnTaskSeconds;
    const long long seconds = wholeOrZero(std::ceil(std::max(0.0, left)));
    if (seconds < 60) {
        return "0:" + twoDigits(seconds);
    }
    return NumberFormat::integer((seconds + 59) / 60) + "m";
}

std::string statusTitle(const StatusInputs& inputs)
{
    if (inputs.isShutdownComplete) {
        return "Shutdown";
    }
    if (inputs.isPaused) {
        return "Paused";
    }
    if (inputs.activeTask) {
        return "\U0001F512 " + menuBarCountdown(inputs.activeTask);
    }
    const long long minutes = wholeOrZero(inputs.liveDeepSecondsToday) / 60;
    if (minutes >= 60) {
        return NumberFormat::integer(minutes / 60) + ":" + twoDigits(minutes % 60);
    }
    return NumberFormat::integer(minutes) + "m";
}

} // namespace kestrove
