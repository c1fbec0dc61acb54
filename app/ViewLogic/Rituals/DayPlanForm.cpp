#include "ViewLogic/Rituals/DayPlanForm.h"

#include "core/DateText.h"
#include "core/Duration.h"
#include "core/NumberFormat.h"
#include "core/Text.h"
#include "core/Uuid.h"

#include <algorithm>

namespace kestrove {

DayPlanForm::DayPlanForm(DayPlan initialPlan, bool isWall, std::vector<std::string> lastUsedApps)
    : m_plan(std::move(initialPlan)), m_isWall(isWall), m_lastUsedApps(std::move(lastUsedApps))
{}

DayPlan DayPlanForm::assembled() const
{
    DayPlan result = m_plan;
    std::erase_if(result.blocks, [](const PlannedBlock& b) { return Text::isBlank(b.task); });
    return result;
}

double DayPlanForm::plannedTotal() const
{
    double total = 0;
    for (const PlannedBlock& block : m_plan.blocks) {
        if (!Text::isBlank(block.task)) {
            total += block.seconds();
        }
    }
    return total;
}

std::optional<std::string> DayPlanForm::plannedTotalText() const
{
    const double total = plannedTotal();
    if (total <= 0) {
        return std::nullopt;
    }
    return DurationFormat::hm(total);
}

std::optional<std::string> DayPlanForm::missingLine() const
{
    const auto phrases = missing();
    if (phrases.empty()) {
        return std::nullopt;
    }
    std::string line = "Still missing: ";
    for (std::size_t i = 0; i < phrases.size(); ++i) {
        line += (i ? ", " : "") + phrases[i];
    }
    return line + ".";
}

void DayPlanForm::appeared()
{
    if (m_appeared) {
        return;
    }
    m_appeared = true;
    if (m_plan.blocks.empty()) {
        addBlock(kNewBlockMinutes);
    }
}

std::string DayPlanForm::addBlock(int minutes)
{
    const auto& blocks = m_plan.blocks;
    const auto source = std::find_if(blocks.rbegin(), blocks.rend(), [](const PlannedBlock& b) {
        return !b.isAway() && !b.allowedBundleIDs.empty();
    });
    std::vector<std::string> apps =
        source != blocks.rend() ? source->allowedBundleIDs : m_lastUsedApps;
    const BlockMode mode = blocks.empty() ? BlockMode::locked : blocks.back().mode;
    PlannedBlock block(Uuid::generate(), "", minutes, std::nullopt, std::nullopt, std::nullopt,
                       std::nullopt, std::nullopt, std::nullopt, std::move(apps), mode);
    std::string id = block.id;
    m_plan.blocks.push_back(std::move(block));
    return id;
}

void DayPlanForm::removeBlock(const std::string& id)
{
    std::erase_if(m_plan.blocks, [&](const PlannedBlock& b) { return b.id == id; });
}

const PlannedBlock* DayPlanForm::block(const std::string& id) const
{
    const auto it = std::find_if(m_plan.blocks.begin(), m_plan.blocks.end(),
                                 [&](const PlannedBlock& b) { return b.id == id; });
    return it == m_plan.blocks.end() ? nullptr : &*it;
}

PlannedBlock* DayPlanForm::mutableBlock(const std::string& id)
{
    return const_cast<PlannedBlock*>(block(id));
}

void DayPlanForm::setTask(const std::string& id, const std::string& task)
{
    if (PlannedBlock* b = mutableBlock(id)) {
        b->task = task;
    }
}

void DayPlanForm::setMinutes(const std::string& id, int minutes)
{
    if (PlannedBlock* b = mutableBlock(id)) {
        b->minutes = minutes;
    }
}

void DayPlanForm::setStartMinute(const std::string& id, std::optional<int> minuteOfDay)
{
    if (PlannedBlock* b = mutableBlock(id)) {
        b->startMinuteOfDay = minuteOfDay;
    }
}

void DayPlanForm::setMode(const std::string& id, BlockMode mode)
{
    if (PlannedBlock* b = mutableBlock(id)) {
        b->mode = mode;
    }
}

void DayPlanForm::setApps(const std::string& id, const std::set<std::string>& apps)
{
    if (PlannedBlock* b = mutableBlock(id)) {
        b->allowedBundleIDs.assign(apps.begin(), apps.end());
    }
}

std::string DayPlanForm::eyebrow() const
{
    return m_isWall ? "Before the day starts" : "Today's deep work";
}

std::string DayPlanForm::headerLine(const std::string& formattedDay) const
{
    return formattedDay + (m_isWall ? ". Nothing else opens until the day has at least one "
                                      "block in it."
                                    : ". Change it as the day changes.");
}

std::string DayPlanForm::submitTitle() const
{
    return m_isWall ? "Start the day" : "Save changes";
}

std::string DayPlanForm::closeTitle() const
{
    return m_isWall ? "Close preview" : "Close";
}

std::string DayPlanForm::formattedDay(Date day)
{
    return DateText::formatted(day, "EEEE, MMM d");
}

namespace BlockEditorRowModel {

namespace {

std::string clockText(int minuteOfDay)
{
    const auto two = [](int n) { return (n < 10 ? "0" : "") + NumberFormat::integer(n); };
    return two(minuteOfDay / 60) + ":" + two(minuteOfDay % 60);
}

} // namespace

bool needsApps(const PlannedBlock& block)
{
    return !Text::isBlank(block.task) && !block.hasApps();
}

std::string appsLabel(const PlannedBlock& block)
{
    const auto count = static_cast<std::int64_t>(block.allowedBundleIDs.size());
    if (count == 0) {
        return "Pick apps";
    }
    return count == 1 ? "1 app" : NumberFormat::integer(count) + " apps";
}

std::string minutesLabel(const PlannedBlock& block)
{
    return NumberFormat::integer(block.minutes) + "m";
}

std::vector<MenuItem> minutesMenu()
{
    std::vector<MenuItem> items;
    for (const int minutes : kMinutePresets) {
        items.push_back({NumberFormat::integer(minutes) + " minutes", minutes});
    }
    return items;
}

std::string timeLabel(const PlannedBlock& block)
{
    return block.timeLabel().value_or("No time");
}

std::vector<MenuItem> timeMenu()
{
    std::vector<MenuItem> items{{"No time", std::nullopt}};
    for (int minute = kFirstStartMinute; minute <= kLastStartMinute; minute += kStartStep) {
        items.push_back({clockText(minute), minute});
    }
    return items;
}

std::string modeLabel(BlockMode mode)
{
    return mode == BlockMode::locked ? "Locked" : "Away";
}

std::string modeItemTitle(BlockMode mode)
{
    return mode == BlockMode::locked ? "Locked — other apps are blocked"
                                     : "Away — nothing blocked, counts off the keyboard";
}

std::string modeToolTip(BlockMode mode)
{
    return mode == BlockMode::locked
               ? "Only the apps you pick are allowed while this block runs."
               : "Nothing is blocked and the clock keeps running while you are away from the "
                 "computer. For filming, calls, thinking.";
}

std::string appsToolTip()
{
    return "The apps this block is allowed to use. Everything else is blocked while it runs.";
}

std::string taskPlaceholder()
{
    return "What are you going deep on?";
}

std::set<std::string> pickerSelection(const PlannedBlock& block,
                                      const std::vector<std::string>& lastUsed)
{
    const auto& source = block.hasApps() ? block.allowedBundleIDs : lastUsed;
    return {source.begin(), source.end()};
}

} // namespace BlockEditorRowModel
} // namespace kestrove
