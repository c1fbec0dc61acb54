#include "ViewLogic/Today/TodayModel.h"

#include "core/Calendar.h"
#include "core/DateText.h"
#include "core/Duration.h"
#include "core/Text.h"

#include <algorithm>

namespace kestrove {

namespace {

constexpr double kShareMinimumDeepSeconds = 60;
constexpr std::size_t kProjectRows = 8;
constexpr std::size_t kHintChips = 10;
constexpr std::string_view kOtherArea = "Other";

bool isUnassigned(const TimeShare& row)
{
    return row.name == DaySummary::kUnassignedLabel;
}

} // namespace

Date shownDay(const std::optional<Date>& selectedDay, Date now)
{
    return selectedDay ? *selectedDay : Calendar::startOfDay(now);
}

std::optional<Date> shiftedDay(Date day, int days, Date now)
{
    const Date target = Calendar::addingDays(day, days);
    if (target >= Calendar::startOfDay(now)) {
        return std::nullopt;
    }
    return target;
}

TodayHeader todayHeader(Date day, bool isToday, double shownDeepSeconds, Date now,
                        const std::string& locale)
{
    TodayHeader header;
    if (isToday) {
        header.title = "Deep work · today";
    } else if (Calendar::isSameDay(day, Calendar::addingDays(now, -1))) {
        header.title = "Deep work · yesterday";
    } else {
        header.title = "Deep work";
    }
    header.date = DateText::formatted(day, "EEEE, MMM d", locale);
    header.nextEnabled = !isToday;
    header.showsTodayButton = !isToday;
    header.shareEnabled = shownDeepSeconds >= kShareMinimumDeepSeconds;
    return header;
}

std::string statusLine(const LiveStatus& live)
{
    if (live.isIdle) {
        return "Idle. Deep work resumes when you touch the keyboard in a deep-work app.";
    }
    if (live.hasLiveBlock && live.kind == ContextKind::deep) {
        return std::string(label(live.phase)) + " · " + DurationFormat::live(live.sessionSeconds) +
               " into this block · " + live.projectDisplayName;
    }
    if (live.graceRemaining) {
        return "Off deep work. Block breaks in " + DurationFormat::clock(*live.graceRemaining) +
               ".";
    }
    switch (live.kind) {
    case ContextKind::distraction:
        return "Distraction · " + live.appName;
    case ContextKind::shallow:
        return "Shallow work · " + live.appName;
    case ContextKind::deep:
        return "Deep work · " + live.projectDisplayName;
    case ContextKind::neutral:
    case ContextKind::idle:
        break;
    }
    return live.appName;
}

std::string pastStatusLine(const DaySummary& shown, const std::string& locale)
{
    if (shown.deepSeconds < 60) {
        return "No deep work recorded that day.";
    }
    std::vector<std::string> parts;
    if (shown.firstDeep && shown.lastDeep) {
        parts.push_back("First deep work " + clockString(*shown.firstDeep, locale) + ", last " +
                        clockString(*shown.lastDeep, locale));
    }
    if (const auto top = shown.topProject()) {
        parts.push_back(DurationFormat::percent(top->seconds / std::max(shown.deepSeconds, 1.0)) +
                        " on " + top->name);
    }
    std::string line;
    for (const std::string& part : parts) {
        line += (line.empty() ? "" : " · ") + part;
    }
    return line;
}

HeroFigures heroFigures(const DaySummary& shown, bool isToday, double deepSeconds, double goalHours,
                        const std::string& goalHoursLabel, int streak)
{
    HeroFigures hero;
    const auto figure = DurationFormat::hero(deepSeconds);
    hero.value = figure.value;
    hero.unit = figure.unit;
    const double goalSeconds = goalHours * 3600;
    hero.progress = goalSeconds > 0 ? std::min(deepSeconds / goalSeconds, 1.0) : 0;
    hero.percent = DurationFormat::percent(hero.progress);
    hero.goal = "of " + goalHoursLabel;
    const auto longest = shown.longestBlock();
    const double active = shown.activeSeconds();
    hero.chips = {
        {"longest block", longest ? DurationFormat::hm(longest->deepSeconds) : "\u2014"},
        {"focus blocks", std::to_string(shown.blocks.size())},
        {"of active time", DurationFormat::percent(active > 0 ? shown.deepSeconds / active : 0)},
    };
    if (isToday) {
        hero.chips.push_back(
            {streak == 1 ? "day on goal" : "days on goal", std::to_string(streak)});
    } else {
        hero.chips.push_back({"active", DurationFormat::hm(active)});
    }
    return hero;
}

std::string legendText(const DaySummary& shown)
{
    return DurationFormat::hm(shown.deepSeconds) + " deep · " +
           DurationFormat::hm(shown.shallowSeconds) + " shallow · " +
           DurationFormat::hm(shown.distractionSeconds) + " distraction";
}

WhereItWent whereItWent(const DaySummary& shown, bool isToday)
{
    WhereItWent card;
    // "Other" (a project without an area) and "Unassigned" are not areas of the user's.
    const auto areaCount =
        std::count_if(shown.byArea.begin(), shown.byArea.end(), [](const TimeShare& row) {
            return row.name != kOtherArea && row.name != DaySummary::kUnassignedLabel;
        });
    if (areaCount >= 2) {
        card.trailing = std::to_string(areaCount) + " areas";
    }
    if (shown.byProject.empty()) {
        card.emptyHint = isToday ? "No deep work yet today. Open an IDE, a doc, or a design tool "
                                   "and the strip starts filling."
                                 : "No deep work recorded that day.";
        return card;
    }
    const double total = std::max(shown.deepSeconds, 1.0);
    for (const TimeShare& row : shown.byProject) {
        const bool unassigned = isUnassigned(row);
        const double share = row.seconds / total;
        card.bar.push_back({row.name, DurationFormat::percent(share),
                            DurationFormat::hm(row.seconds), unassigned ? std::nullopt : row.color,
                            unassigned, share});
    }
    card.rows.assign(card.bar.begin(),
                     card.bar.begin() + static_cast<long>(std::min(kProjectRows, card.bar.size())));
    if (shown.byArea.size() > 1) {
        for (const TimeShare& row : shown.byArea) {
            card.areas.emplace_back(row.name, DurationFormat::hm(row.seconds));
        }
    }
    return card;
}

std::vector<double> stackedBarWidths(const std::vector<ShareRow>& bar, double width)
{
    std::vector<double> widths;
    for (const ShareRow& row : bar) {
        widths.push_back(std::max(row.share * width - 2, 2.0));
    }
    return widths;
}

std::vector<BlockRow> blockRows(const DaySummary& shown, bool isToday,
                                const std::optional<FocusBlock>& liveBlock,
                                const std::string& locale)
{
    std::vector<BlockRow> rows;
    for (auto it = shown.blocks.rbegin(); it != shown.blocks.rend(); ++it) {
        const FocusBlock& block = *it;
        BlockRow row;
        row.id = block.id();
        row.span = clockString(block.start, locale) + "\u2013" + clockString(block.end, locale);
        // The summary keeps time without a project under "", which reads as unassigned too.
        const auto project = block.primaryProject();
        const std::string name =
            project && !project->empty() ? *project : std::string(DaySummary::kUnassignedLabel);
        row.caption = name + " · " + std::string(label(block.phase()));
        row.duration = DurationFormat::hm(block.deepSeconds);
        row.isLive = isToday && liveBlock && liveBlock->start == block.start;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::optional<UnassignedCard> unassignedCard(const DaySummary& shown)
{
    if (shown.unassignedHints.empty()) {
        return std::nullopt;
    }
    UnassignedCard card;
    double unassigned = 0;
    for (const TimeShare& row : shown.byProject) {
        if (isUnassigned(row)) {
            unassigned = row.seconds;
            break;
        }
    }
    card.trailing = DurationFormat::hm(unassigned);
    for (std::size_t i = 0; i < shown.unassignedHints.size() && i < kHintChips; ++i) {
        const TimeShare& hint = shown.unassignedHints[i];
        card.chips.push_back({hint, DurationFormat::hm(hint.seconds)});
    }
    return card;
}

std::optional<std::string> shutdownNotePlan(const std::optional<std::string>& planText,
                                            const std::optional<std::string>& writtenOn, Date now,
                                            const std::optional<DayPlan>& todayPlan)
{
    if (todayPlan && todayPlan->isComplete()) {
        return std::nullopt;
    }
    if (!planText || Text::trimmed(*planText).empty() || !writtenOn) {
        return std::nullopt;
    }
    if (*writtenOn != Calendar::dayString(Calendar::addingDays(now, -1))) {
        return std::nullopt;
    }
    return planText;
}

bool isLegacyDay(Date day, const std::optional<Date>& accurateSince, bool legacyImported)
{
    return legacyImported && accurateSince && day < Calendar::startOfDay(*accurateSince);
}

std::string legacyNoteText(Date accurateSince, const std::string& locale)
{
    return "Recorded by the old tracker, before " +
           DateText::formatted(accurateSince, "MMM d", locale) +
           ". Idle time was often over-counted on those days.";
}

std::string assignSentence(double seconds, bool isToday)
{
    return DurationFormat::hm(seconds) +
           (isToday ? " of deep work today." : " of deep work that day.") +
           " Pick a project, or create one. Future time matches automatically and " +
           (isToday ? "today's" : "that day's") + " history is relabeled.";
}

bool canCreateProject(const std::string& newName, bool working)
{
    return !working && !Text::trimmedSpacesAndTabs(newName).empty();
}

Project newAssignProject(const std::string& newName, const std::string& newArea, std::string color,
                         std::string id)
{
    Project project;
    project.id = std::move(id);
    project.name = newName;
    project.color = std::move(color);
    const std::string area = Text::trimmedSpacesAndTabs(newArea);
    if (!area.empty()) {
        project.area = area;
    }
    return project;
}

} // namespace kestrove
