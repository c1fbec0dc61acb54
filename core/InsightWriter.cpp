#include "core/InsightWriter.h"

#include "core/Duration.h"
#include "core/NumberFormat.h"

#include <cmath>

namespace kestrove::InsightWriter {

namespace {

using DurationFormat::hm;
using DurationFormat::percent;

// The hour with the most deep seconds; the earliest hour among equals.
std::optional<std::pair<int, double>> deepestHour(const DaySummary& day)
{
    std::optional<std::pair<int, double>> best;
    for (const auto& [hour, seconds] : day.byHour) {
        if (!best || seconds > best->second) {
            best = {hour, seconds};
        }
    }
    return best;
}

std::string blockCount(std::size_t count)
{
    return NumberFormat::integer(static_cast<std::int64_t>(count)) +
           (count == 1 ? " focus block" : " focus blocks");
}

} // namespace

std::string headline(const Context& context, const std::string& locale)
{
    const DaySummary& day = context.today;
    if (day.deepSeconds < 60) {
        return "No deep work logged yet.";
    }
    if (const auto top = day.topProject(); top && top->seconds / day.deepSeconds > 0.5) {
        return percent(top->seconds / day.deepSeconds) + " of today's deep work went to " +
               top->name + ".";
    }
    if (const auto longest = day.longestBlock(); longest && longest->deepSeconds >= 2700) {
        return "Longest unbroken block: " + hm(longest->deepSeconds) + ", " +
               clockString(longest->start, locale) + " to " + clockString(longest->end, locale) +
               ".";
    }
    if (const auto hour = deepestHour(day); hour && hour->second >= 1800) {
        return "Deepest hour: " + hourLabel(hour->first) + ", " + hm(hour->second) + " of focus.";
    }
    if (context.streak.current < 3) {
        return blockCount(day.blocks.size()) + ", " + percent(day.deepRatio()) +
               " of active time was deep.";
    }
    return NumberFormat::integer(context.streak.current) + " days in a row on goal.";
}

std::optional<std::string> comparison(const Context& context)
{
    const double deep = context.today.deepSeconds;
    double sum = 0;
    int n = 0;
    for (const auto& day : context.recentDays) {
        if (day.deepSeconds > 0) {
            sum += day.deepSeconds;
            ++n;
        }
    }
    if (n < 3) {
        const double goal = context.goalSeconds;
        if (!(goal > 0)) {
            return std::nullopt;
        }
        if (goal <= deep) {
            return "Daily goal of " + hm(goal) + " reached.";
        }
        return hm(goal - deep) + " left to the " + hm(goal) + " goal.";
    }
    const double average = sum / n;
    const double change = (deep - average) / average;
    const std::string days = NumberFormat::integer(n) + "-day average of " + hm(average) + ".";
    if (std::fabs(change) >= 0.15) {
        return percent(std::fabs(change)) + (change > 0 ? " above" : " below") + " your " + days;
    }
    return "In line with your " + days;
}

std::string postText(const Context& context)
{
    const DaySummary& day = context.today;
    std::string text = hm(day.deepSeconds) + " of deep work today.";
    if (const auto top = day.topProject()) {
        text += "\nMost of it on " + top->name + " (" +
                percent(top->seconds / std::max(day.deepSeconds, 1.0)) + ").";
    }
    if (const auto longest = day.longestBlock(); longest && longest->deepSeconds >= 1800) {
        text += "\nLongest block: " + hm(longest->deepSeconds) + " without breaking focus.";
    }
    if (context.streak.current >= 2) {
        text += "\nDay " + NumberFormat::integer(context.streak.current) + " of hitting the goal.";
    }
    return text + "\n\nTracked with Kestrove for Linux.";
}

std::string hourLabel(int hour)
{
    const int h = ((hour % 24) + 24) % 24;
    if (h == 0) {
        return "12am";
    }
    if (h == 12) {
        return "12pm";
    }
    return h < 12 ? NumberFormat::integer(h) + "am" : NumberFormat::integer(h - 12) + "pm";
}

} // namespace kestrove::InsightWriter
