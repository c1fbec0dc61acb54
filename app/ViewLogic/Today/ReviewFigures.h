#pragma once

#include "core/ContextKind.h"
#include "core/DaySummary.h"
#include "core/WorkReview.h"

#include <optional>
#include <string>
#include <vector>

namespace kestrove {

// One kind's share of a day, as the kind bar and the day card's legend show it.
struct KindPart
{
    std::string label;
    double seconds = 0;
    ContextKind kind = ContextKind::neutral; // the colour

    bool operator==(const KindPart&) const = default;
};

// Deep, shallow, distraction and "other" (neutral) time, each only from a minute on; idle
// time never shows.
std::vector<KindPart> kindParts(const DaySummary& summary);
// Each part's width on a bar `width` wide: its share, at least 3 pt, never scaled back.
std::vector<double> kindBarWidths(const std::vector<KindPart>& parts, double width);

// A figure under its label, as a stat chip shows it.
struct StatFigure
{
    std::string label;
    std::string value;
    bool accent = false; // drawn in the light deep colour rather than the text colour

    bool operator==(const StatFigure&) const = default;
};

// Everything the day's review card shows.
struct DayReviewFigures
{
    std::string title;     // "How today went", or "How the day went" for a past day
    std::string tracked;   // "7h 12m tracked"
    std::string atDesk;    // time at the desk
    std::string deepShare; // "64% of it deep"
    std::vector<KindPart> parts;
    std::vector<std::string> legend; // "2h 5m deep", one per part
    std::vector<StatFigure> stats;
    std::optional<std::string> span;
    std::vector<ReviewLine> lines;
};

DayReviewFigures dayReviewFigures(const DaySummary& summary, double goalSeconds,
                                  const std::vector<DayTotal>& recentDays, bool isToday,
                                  const std::string& locale = {});

// Everything the week's review card shows.
struct WeekReviewFigures
{
    std::string atDesk;
    std::optional<std::string> deepShare; // only with time at the desk
    std::vector<StatFigure> stats;
    std::vector<ReviewLine> lines;
};

WeekReviewFigures weekReviewFigures(const std::vector<DayTotal>& days, double goalSeconds,
                                    const std::vector<DayTotal>& previousWeek,
                                    const std::string& locale = {});

} // namespace kestrove
