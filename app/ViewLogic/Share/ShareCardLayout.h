#pragma once

#include "ViewLogic/Share/ShareCard.h"

#include <optional>
#include <string>
#include <vector>

namespace kestrove {

// The card's fixed size in logical pixels; it is rendered at twice that.
inline constexpr double kShareCardWidth = 1200;
inline constexpr double kShareCardHeight = 675;
inline constexpr double kShareCardScale = 2;

// One small figure of the statistics row: the value above its label.
struct CardStat
{
    std::string value;
    std::string label;

    bool operator==(const CardStat&) const = default;
};

// One project of "where it went": its name and time over a bar of its share.
struct CardProjectRow
{
    std::string name;
    std::string duration;
    double seconds = 0;
    bool unassigned = false; // drawn in the unassigned colour whatever its colour key
    std::optional<std::string> color;

    bool operator==(const CardProjectRow&) const = default;
};

// One day of the week chart.
struct CardWeekColumn
{
    std::string amount; // empty under a minute
    std::string weekday;
    double barHeight = 0;

    bool operator==(const CardWeekColumn&) const = default;
};

// What the card shows, as texts and sizes; the painter only places them.
struct ShareCardFigures
{
    static constexpr double kWeekTrackHeight = 96;

    std::string heroValue;
    std::string heroUnit; // "hrs" or "min"
    std::vector<CardProjectRow> projects;
    std::vector<CardStat> stats;
    bool showsStrip = false;
    std::vector<CardWeekColumn> week; // empty unless a week without a strip
    std::optional<std::string> goal;  // "goal 4h · 63%"
    std::optional<std::string> handle;
};

ShareCardFigures shareCardFigures(const ShareCardData& data, const std::string& locale = {});
// A project bar's width on a track `trackWidth` wide: its share of the deep time, at least 6.
double projectBarWidth(double seconds, double deepSeconds, double trackWidth);

} // namespace kestrove
