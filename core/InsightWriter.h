#pragma once

#include "core/DaySummary.h"

#include <optional>
#include <string>
#include <vector>

namespace kestrove {

// The sentences of the shareable day card and the day's post.
namespace InsightWriter {

struct Context
{
    DaySummary today;
    double goalSeconds = 0; // 0 or less: no goal sentence
    std::vector<DayTotal> recentDays;
    Streak streak; // only the current run is read
};

// One sentence about the day. Times of day are in the short style of `locale` (the user's
// when empty).
std::string headline(const Context& context, const std::string& locale = {});
// A comparison with recent days, or with the goal when fewer than three days have deep work.
std::optional<std::string> comparison(const Context& context);
// The text of a short post, lines joined by line feeds.
std::string postText(const Context& context);
// "12am", "9am", "12pm", "11pm"; any whole number is brought into 0...23 first.
std::string hourLabel(int hour);

} // namespace InsightWriter
} // namespace kestrove
