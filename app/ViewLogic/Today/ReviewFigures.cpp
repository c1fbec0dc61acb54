#include "ViewLogic/Today/ReviewFigures.h"

#include "core/Duration.h"
#include "core/InsightWriter.h"

#include <algorithm>

namespace kestrove {

namespace {

constexpr double kMinimumPartSeconds = 60;
constexpr double kMinimumWorkedSeconds = 60;
constexpr int kReviewLimit = 4;
constexpr std::string_view kNothingYetToday = "Nothing recorded yet today.";
constexpr std::string_view kNothingThatDay = "Nothing recorded that day.";

} // namespace

std::vector<KindPart> kindParts(const DaySummary& summary)
{
    const KindPart candidates[] = {
        {"deep", summary.deepSeconds, ContextKind::deep},
        {"shallow", summary.shallowSeconds, ContextKind::shallow},
        {"distraction", summary.distractionSeconds, ContextKind::distraction},
        {"other", summary.neutralSeconds, ContextKind::neutral},
    };
    std::vector<KindPart> kept;
    for (const KindPart& part : candidates) {
        if (part.seconds >= kMinimumPartSeconds) {
            kept.push_back(part);
        }
    }
    return kept;
}

std::vector<double> kindBarWidths(const std::vector<KindPart>& parts, double width)
{
    double total = 0;
    for (const KindPart& part : parts) {
        total += part.seconds;
    }
    std::vector<double> result;
    for (const KindPart& part : parts) {
        result.push_back(total > 0 ? std::max(part.seconds / total * width, 3.0) : 0.0);
    }
    return result;
}

DayReviewFigures dayReviewFigures(const DaySummary& summary, double goalSeconds,
                                  const std::vector<DayTotal>& recentDays, bool isToday,
                                  const std::string& locale)
{
    DayReviewFigures figures;
    figures.title = isToday ? "How today went" : "How the day went";
    figures.tracked = DurationFormat::hm(summary.trackedSeconds()) + " tracked";
    const double active = summary.activeSeconds();
    figures.atDesk = DurationFormat::hm(active);
    figures.deepShare =
        DurationFormat::percent(active > 0 ? summary.deepSeconds / active : 0) + " of it deep";
    figures.parts = kindParts(summary);
    for (const KindPart& part : figures.parts) {
        figures.legend.push_back(DurationFormat::hm(part.seconds) + " " + part.label);
    }

    const auto longest = summary.longestBlock();
    const auto blocks =
        std::count_if(summary.blocks.begin(), summary.blocks.end(), [](const FocusBlock& block) {
            return block.deepSeconds >= kMinimumWorkedSeconds;
        });
    figures.stats.push_back(
        {"longest stretch", DurationFormat::hm(longest ? longest->deepSeconds : 0)});
    figures.stats.push_back({"focus blocks", std::to_string(blocks)});
    if (const auto best = DayReview::bestHour(summary)) {
        figures.stats.push_back({"best hour", InsightWriter::hourLabel(best->hour), true});
    }
    if (summary.firstDeep && summary.lastDeep) {
        figures.span = clockString(*summary.firstDeep, locale) + "\u2013" +
                       clockString(*summary.lastDeep, locale);
        figures.stats.push_back({"deep work span", *figures.span});
    }
    figures.lines = DayReview::lines(summary, goalSeconds, recentDays, kReviewLimit);
    if (!isToday) {
        // The review's words for an empty day speak of today; a past day is "that day".
        for (ReviewLine& line : figures.lines) {
            if (line.text == kNothingYetToday) {
                line.text = kNothingThatDay;
            }
        }
    }
    return figures;
}

WeekReviewFigures weekReviewFigures(const std::vector<DayTotal>& days, double goalSeconds,
                                    const std::vector<DayTotal>& previousWeek,
                                    const std::string& locale)
{
    double deepTotal = 0;
    double activeTotal = 0;
    int worked = 0;
    for (const DayTotal& day : days) {
        if (day.deepSeconds >= kMinimumWorkedSeconds) {
            deepTotal += day.deepSeconds;
            activeTotal += day.activeSeconds;
            ++worked;
        }
    }
    WeekReviewFigures figures;
    figures.atDesk = DurationFormat::hm(activeTotal);
    if (activeTotal > 0) {
        figures.deepShare = DurationFormat::percent(deepTotal / activeTotal) + " of it deep";
    }
    figures.stats.push_back({"deep this week", DurationFormat::hm(deepTotal)});
    figures.stats.push_back({"working days", std::to_string(worked)});
    if (worked > 0) {
        figures.stats.push_back({"average a day", DurationFormat::hm(deepTotal / worked)});
    }
    figures.lines = WeekReview::lines(days, goalSeconds, previousWeek, kReviewLimit, locale);
    return figures;
}

} // namespace kestrove
