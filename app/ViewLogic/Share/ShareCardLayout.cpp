#include "ViewLogic/Share/ShareCardLayout.h"

#include "core/DateText.h"
#include "core/Duration.h"
#include "core/NumberFormat.h"

#include <algorithm>

namespace kestrove {

namespace {

constexpr std::size_t kCardProjects = 3;
constexpr double kMinBarWidth = 6;
constexpr double kMinWeekBar = 6;

std::vector<CardWeekColumn> weekColumns(const ShareCardData& data, const std::string& locale)
{
    // Never scaled below an hour, nor below the daily goal: the card's goal is the week's, and
    // a day measured against seven days' goal would always look empty.
    const double dailyGoal = data.goalSeconds / static_cast<double>(data.days.size());
    double peak = std::max(dailyGoal, 3600.0);
    for (const DayTotal& day : data.days) {
        peak = std::max(peak, day.deepSeconds);
    }
    std::vector<CardWeekColumn> columns;
    for (const DayTotal& day : data.days) {
        CardWeekColumn column;
        column.amount = day.deepSeconds >= 60 ? DurationFormat::hoursDecimal(day.deepSeconds) : "";
        column.weekday = DateText::formatted(day.date, "EEE", locale);
        const double floor = day.deepSeconds > 0 ? kMinWeekBar : 0;
        column.barHeight =
            std::max(day.deepSeconds / peak * ShareCardFigures::kWeekTrackHeight, floor);
        columns.push_back(std::move(column));
    }
    return columns;
}

} // namespace

double projectBarWidth(double seconds, double deepSeconds, double trackWidth)
{
    const double scale = std::max(deepSeconds, 1.0);
    return std::min(std::max(trackWidth * seconds / scale, kMinBarWidth), trackWidth);
}

ShareCardFigures shareCardFigures(const ShareCardData& data, const std::string& locale)
{
    ShareCardFigures figures;
    const DurationFormat::Hero hero = DurationFormat::hero(data.deepSeconds);
    figures.heroValue = hero.value;
    figures.heroUnit = hero.unit == "hours" ? "hrs" : "min";
    for (std::size_t i = 0; i < std::min(data.projects.size(), kCardProjects); ++i) {
        const TimeShare& share = data.projects[i];
        figures.projects.push_back({share.name, DurationFormat::hm(share.seconds), share.seconds,
                                    share.name == DaySummary::kUnassignedLabel, share.color});
    }
    figures.stats.push_back(
        {data.longestBlock ? DurationFormat::hm(data.longestBlock->deepSeconds) : "—",
         "longest block"});
    figures.stats.push_back({NumberFormat::integer(data.blockCount), "blocks"});
    if (data.streak >= 2) {
        figures.stats.push_back({NumberFormat::integer(data.streak), "day streak"});
    }
    figures.showsStrip = data.stripRange.has_value() && !data.strip.empty();
    if (!figures.showsStrip) {
        figures.week = weekColumns(data, locale);
    }
    if (data.goalSeconds > 0) {
        figures.goal = "goal " + DurationFormat::hm(data.goalSeconds) + " · " +
                       DurationFormat::percent(std::min(data.deepSeconds / data.goalSeconds, 1.0));
    }
    if (data.handle && !data.handle->empty()) {
        figures.handle = data.handle;
    }
    return figures;
}

} // namespace kestrove
