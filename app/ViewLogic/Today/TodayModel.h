#pragma once

#include "ViewLogic/Today/ReviewFigures.h"
#include "core/DayPlan.h"
#include "core/DaySummary.h"
#include "core/FocusBlockBuilder.h"
#include "core/ProjectRules.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrove {

// The today page's texts, rows and decisions, from the shown day's summary and the engine's
// live state. Times of day are in the short style of `locale` (the user's when empty).
namespace TodayTexts {

inline constexpr const char* kPermissionTitle =
    "Accessibility is off, so window titles are hidden.";
inline constexpr const char* kPermissionDetail =
    "Time still counts. Project detection from folders and window titles needs this permission.";
inline constexpr const char* kShutdownEyebrow =
    "Your plan for today, written at yesterday's shutdown";
inline constexpr const char* kDepthTipTitle = "Depth strip";
inline constexpr const char* kDepthTipDetail =
    "Your day as a band of time. Deep work hangs full height, shallow work sits at the surface, "
    "distraction flares, idle is dark water. Hover for exact times.";
inline constexpr const char* kBlocksTipDetail =
    "A run of deep work with interruptions shorter than your grace period (Settings). Only "
    "blocks of 5 minutes or more are listed; all deep time counts toward the total either way.";
inline constexpr const char* kBlocksEmpty = "Blocks appear after 5 unbroken minutes of deep work.";
inline constexpr const char* kUnassignedTipDetail =
    "Deep work the app could not link to one of your projects. Assign a folder, site or app "
    "once and it is matched automatically from then on, including today's history.";
inline constexpr const char* kReadFailed = "This day could not be read from the database.";

} // namespace TodayTexts

// The start of the day the page shows: the selected day, else today.
Date shownDay(const std::optional<Date>& selectedDay, Date now);
// The selected day `days` days from `day`: absent (today) once it reaches today.
std::optional<Date> shiftedDay(Date day, int days, Date now);

struct TodayHeader
{
    std::string title;
    std::string date;
    bool nextEnabled = false;
    bool showsTodayButton = false;
    bool shareEnabled = false;
};

TodayHeader todayHeader(Date day, bool isToday, double shownDeepSeconds, Date now,
                        const std::string& locale = {});

// What the engine says about this moment, for the status line.
struct LiveStatus
{
    bool isIdle = false;
    bool hasLiveBlock = false;
    ContextKind kind = ContextKind::neutral;
    SessionPhase phase = SessionPhase::idle;
    double sessionSeconds = 0;
    std::optional<double> graceRemaining;
    std::string projectDisplayName;
    std::string appName;
};

std::string statusLine(const LiveStatus& live);
std::string pastStatusLine(const DaySummary& shown, const std::string& locale = {});

struct HeroFigures
{
    std::string value;
    std::string unit;
    std::string percent;
    std::string goal; // "of 4h"
    double progress = 0;
    std::vector<StatFigure> chips;
};

// `deepSeconds` is the live figure today and the summary's on a past day.
HeroFigures heroFigures(const DaySummary& shown, bool isToday, double deepSeconds, double goalHours,
                        const std::string& goalHoursLabel, int streak);
std::string legendText(const DaySummary& shown);

// One project's row, or its segment of the stacked bar.
struct ShareRow
{
    std::string name;
    std::string percent;
    std::string duration;
    std::optional<std::string> color; // absent on the unassigned row
    bool isUnassigned = false;
    double share = 0;
};

struct WhereItWent
{
    std::optional<std::string> trailing; // "2 areas"
    std::optional<std::string> emptyHint;
    std::vector<ShareRow> bar;                              // every project
    std::vector<ShareRow> rows;                             // the first eight
    std::vector<std::pair<std::string, std::string>> areas; // name, duration
};

WhereItWent whereItWent(const DaySummary& shown, bool isToday);
// Each bar segment's width on a bar `width` wide, paying 2 pt of spacing, at least 2 pt.
std::vector<double> stackedBarWidths(const std::vector<ShareRow>& bar, double width);

struct BlockRow
{
    std::int64_t id = 0;
    std::string span;
    std::string caption; // project · phase
    std::string duration;
    bool isLive = false;
};

// The day's blocks, latest first.
std::vector<BlockRow> blockRows(const DaySummary& shown, bool isToday,
                                const std::optional<FocusBlock>& liveBlock,
                                const std::string& locale = {});

struct UnassignedChip
{
    TimeShare hint;
    std::string duration;
};

struct UnassignedCard
{
    std::string trailing;
    std::vector<UnassignedChip> chips; // at most ten
};

// Absent when no deep time lacks a project.
std::optional<UnassignedCard> unassignedCard(const DaySummary& shown);

// The plan written at yesterday's shutdown, while today's own plan is not complete. A plan
// written on an earlier day is stale and not offered as today's.
std::optional<std::string> shutdownNotePlan(const std::optional<std::string>& planText,
                                            const std::optional<std::string>& writtenOn, Date now,
                                            const std::optional<DayPlan>& todayPlan);
// Days before accurate recording began, when older data was really imported.
bool isLegacyDay(Date day, const std::optional<Date>& accurateSince, bool legacyImported);
std::string legacyNoteText(Date accurateSince, const std::string& locale = {});

// The assign sheet.
std::string assignSentence(double seconds, bool isToday);
bool canCreateProject(const std::string& newName, bool working);
// A new project for the sheet's fields, with the given colour key and identifier.
Project newAssignProject(const std::string& newName, const std::string& newArea, std::string color,
                         std::string id);

} // namespace kestrove
