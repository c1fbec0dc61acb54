#include "ViewLogic/Share/ShareCard.h"

#include "Storage/Database.h"
#include "ViewLogic/Today/TodayLoader.h"
#include "core/Calendar.h"
#include "core/DateText.h"
#include "core/Duration.h"
#include "core/InsightWriter.h"
#include "core/NumberFormat.h"
#include "core/Text.h"

#include <algorithm>
#include <functional>

namespace kestrove {

namespace {

constexpr double kMinBlockSeconds = 300;
constexpr std::size_t kCardProjects = 3;
constexpr double kActiveDaySeconds = 60;

// A read that fails counts as nothing read.
template <typename T> T orEmpty(const std::function<T()>& read)
{
    try {
        return read();
    } catch (const DatabaseError&) {
        return {};
    }
}

void replaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

std::optional<std::string> normalisedHandle(const std::optional<std::string>& handle)
{
    if (!handle || handle->empty()) {
        return std::nullopt;
    }
    return handle;
}

std::vector<TimeShare> firstProjects(const std::vector<TimeShare>& rows)
{
    return {rows.begin(), rows.begin() + static_cast<long>(std::min(rows.size(), kCardProjects))};
}

// The day's sentences were written for today; a past day's card speaks of that day.
void speakOfPastDay(std::string& text, const std::string& dayName)
{
    replaceAll(text, "of deep work today.", "of deep work on " + dayName + ".");
    replaceAll(text, "of today's deep work", "of the day's deep work");
    replaceAll(text, "No deep work logged yet.", "No deep work logged on " + dayName + ".");
    replaceAll(text, " left to the ", " short of the ");
}

} // namespace

SharePeriod SharePeriod::weekOf(Date now, int firstWeekday)
{
    const Date dayStart = Calendar::startOfDay(now);
    const int back = (Calendar::weekday(dayStart) - firstWeekday + 7) % 7;
    const Date start = Calendar::addingDays(dayStart, -back);
    return week(start, Calendar::addingDays(start, 7));
}

Streak goalStreak(const std::vector<DayTotal>& history, double todayDeepSeconds, double goalHours,
                  Date todayStart)
{
    const double goalSeconds = goalHours * 3600.0;
    std::vector<Date> goalDays;
    for (const DayTotal& total : history) {
        if (total.deepSeconds >= goalSeconds) {
            goalDays.push_back(total.date);
        }
    }
    if (goalSeconds > 0 && todayDeepSeconds >= goalSeconds) {
        goalDays.push_back(todayStart);
    }
    return Streak::compute(goalDays, todayStart);
}

ShareCard dayCard(const ShareCardInputs& inputs, const std::vector<Segment>& segments,
                  const std::vector<DayTotal>& recentDays)
{
    const Date dayStart = Calendar::startOfDay(inputs.period.start);
    const Date dayEnd = Calendar::addingDays(dayStart, 1);
    const bool isToday = Calendar::isSameDay(dayStart, inputs.now);
    const FocusBlockBuilder builder{inputs.graceSeconds, kMinBlockSeconds};
    const DaySummary summary = DaySummary::build(dayStart, segments, inputs.projects, builder);

    InsightWriter::Context context;
    context.today = summary;
    context.goalSeconds = inputs.goalHours * 3600.0;
    context.recentDays = recentDays;
    context.streak = inputs.streak;

    ShareCard card;
    ShareCardData& data = card.data;
    data.title = DateText::formatted(dayStart, "EEEE, MMM d", inputs.locale);
    data.eyebrow = isToday ? ShareCardTexts::kDayEyebrowToday : ShareCardTexts::kDayEyebrow;
    data.deepSeconds = summary.deepSeconds;
    data.goalSeconds = context.goalSeconds;
    data.projects = firstProjects(summary.byProject);
    data.headline = InsightWriter::headline(context, inputs.locale);
    data.subline = InsightWriter::comparison(context);
    data.strip = StripData::coalesce(segments);
    data.stripRange = StripData::range(segments, dayStart, isToday ? inputs.now : dayEnd);
    data.longestBlock = summary.longestBlock();
    data.blockCount = static_cast<int>(summary.blocks.size());
    data.streak = inputs.streak.current;
    data.handle = normalisedHandle(inputs.handle);
    card.postText = InsightWriter::postText(context);
    if (!isToday) {
        const std::string dayName = DateText::formatted(dayStart, "MMM d", inputs.locale);
        speakOfPastDay(data.headline, dayName);
        if (data.subline) {
            speakOfPastDay(*data.subline, dayName);
        }
        speakOfPastDay(card.postText, dayName);
    }
    return card;
}

ShareCard weekCard(const ShareCardInputs& inputs, const std::vector<DayTotal>& days,
                   const std::vector<TimeShare>& projectRows, const std::vector<Segment>& segments)
{
    const FocusBlockBuilder builder{inputs.graceSeconds, kMinBlockSeconds};
    const std::vector<FocusBlock> blocks = builder.blocks(segments);

    double total = 0;
    int activeDays = 0;
    std::optional<DayTotal> bestDay;
    for (const DayTotal& day : days) {
        total += day.deepSeconds;
        activeDays += day.deepSeconds >= kActiveDaySeconds ? 1 : 0;
        if (!bestDay || day.deepSeconds > bestDay->deepSeconds) {
            bestDay = day;
        }
    }
    std::optional<FocusBlock> longest;
    for (const FocusBlock& block : blocks) {
        if (!longest || block.deepSeconds > longest->deepSeconds) {
            longest = block;
        }
    }

    ShareCard card;
    ShareCardData& data = card.data;
    for (const TimeShare& row : firstProjects(projectRows)) {
        TimeShare coloured = row;
        coloured.color.reset();
        for (const Project& project : inputs.projects) {
            if (Text::equalsIgnoringCase(project.name, row.name)) {
                coloured.color = project.color;
                break;
            }
        }
        data.projects.push_back(std::move(coloured));
    }
    const bool topIsProject =
        !projectRows.empty() && projectRows.front().name != DaySummary::kUnassignedLabel;
    if (topIsProject && total > 0 && projectRows.front().seconds / total > 0.5) {
        data.headline = DurationFormat::percent(projectRows.front().seconds / total) +
                        " of the week went to " + projectRows.front().name + ".";
    } else if (bestDay && bestDay->deepSeconds > 0) {
        data.headline = "Best day: " + DateText::formatted(bestDay->date, "EEE", inputs.locale) +
                        ", " + DurationFormat::hm(bestDay->deepSeconds) + ".";
    } else {
        data.headline = NumberFormat::integer(activeDays) + " active days this week.";
    }
    if (activeDays > 0) {
        data.subline = DurationFormat::hm(total / activeDays) + " per active day · " +
                       NumberFormat::integer(static_cast<std::int64_t>(blocks.size())) +
                       " focus blocks";
    }
    data.title =
        DateText::formatted(inputs.period.start, "MMM d", inputs.locale) + " – " +
        DateText::formatted(Calendar::addingDays(inputs.period.end, -1), "MMM d", inputs.locale);
    data.eyebrow = ShareCardTexts::kWeekEyebrow;
    data.deepSeconds = total;
    data.goalSeconds = inputs.goalHours * 3600.0 * 7;
    data.days = days;
    data.longestBlock = longest;
    data.blockCount = static_cast<int>(blocks.size());
    data.streak = inputs.streak.current;
    data.handle = normalisedHandle(inputs.handle);

    card.postText = DurationFormat::hm(total) + " of deep work this week.";
    if (topIsProject) {
        card.postText += "\nMost of it on " + projectRows.front().name + ".";
    }
    if (longest && longest->deepSeconds >= 1800) {
        card.postText += "\nLongest block: " + DurationFormat::hm(longest->deepSeconds) + ".";
    }
    card.postText += std::string("\n\n") + ShareCardTexts::kClosingLine;
    return card;
}

ShareCard buildShareCard(Database& database, const ShareCardInputs& inputs,
                         std::optional<std::int64_t> excludedID)
{
    if (inputs.period.isWeek()) {
        const Date start = inputs.period.start;
        const Date cutoff = std::min(inputs.now, inputs.period.end);
        const auto days = orEmpty<std::vector<DayTotal>>(
            [&] { return database.dayTotals(start, inputs.period.end); });
        const auto projects =
            orEmpty<std::vector<TimeShare>>([&] { return database.projectTotals(start, cutoff); });
        const auto segments = orEmpty<std::vector<Segment>>([&] {
            return cutoff > start ? database.blockSegments(start, cutoff) : std::vector<Segment>{};
        });
        return weekCard(inputs, days, projects, segments);
    }

    const Date dayStart = Calendar::startOfDay(inputs.period.start);
    const Date dayEnd = Calendar::addingDays(dayStart, 1);
    const bool isToday = Calendar::isSameDay(dayStart, inputs.now);
    auto segments = orEmpty<std::vector<Segment>>([&] {
        return database.summarySegments(dayStart, dayEnd,
                                        isToday ? excludedID : std::optional<std::int64_t>());
    });
    segments = mergeOpenSegment(std::move(segments), isToday ? inputs.open : std::nullopt, dayStart,
                                inputs.now);
    std::vector<DayTotal> recent;
    if (isToday && inputs.recentDays) {
        recent = *inputs.recentDays;
    } else {
        recent = orEmpty<std::vector<DayTotal>>(
            [&] { return database.dayTotals(Calendar::addingDays(dayStart, -14), dayStart); });
    }
    return dayCard(inputs, segments, recent);
}

} // namespace kestrove
