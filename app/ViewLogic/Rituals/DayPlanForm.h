#pragma once

#include "core/DayPlan.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kestrove {

// The planning form's working copy of the day's plan and every text it shows. The form edits
// only the blocks; every other field leaves exactly as it came in. Each block row writes to its
// block by id, so a row never holds a copy that could drift from the plan.
class DayPlanForm
{
public:
    static constexpr int kNewBlockMinutes = 90;
    static constexpr int kQuickMinutes[] = {45, 60, 120};

    // `lastUsedApps`: the applications of the last focus task, given to a new block when no
    // locked block of the plan has any.
    DayPlanForm(DayPlan initialPlan, bool isWall, std::vector<std::string> lastUsedApps);

    const DayPlan& plan() const { return m_plan; }
    bool isWall() const { return m_isWall; }

    // The plan as it would be submitted: blocks without a task left out, nothing else touched.
    DayPlan assembled() const;
    std::vector<std::string> missing() const { return assembled().missing(); }
    bool isSubmittable() const { return missing().empty(); }
    // Seconds of every block with a task.
    double plannedTotal() const;
    // "1h 30m"; nothing while no block has a task.
    std::optional<std::string> plannedTotalText() const;
    // "Still missing: at least one deep work block."; nothing when the plan can go.
    std::optional<std::string> missingLine() const;

    // The form came on screen: an empty plan starts with one empty 90-minute block. Only the
    // first showing counts, so removing the last block leaves the card empty.
    void appeared();
    // Appends a block in the last block's mode with the apps of the last locked block that has
    // some; returns its id.
    std::string addBlock(int minutes);
    void removeBlock(const std::string& id);

    const PlannedBlock* block(const std::string& id) const;
    // Edits of one block, by id; an unknown id changes nothing.
    void setTask(const std::string& id, const std::string& task);
    void setMinutes(const std::string& id, int minutes);
    void setStartMinute(const std::string& id, std::optional<int> minuteOfDay);
    void setMode(const std::string& id, BlockMode mode);
    void setApps(const std::string& id, const std::set<std::string>& apps);

    // Texts that depend on where the form is shown.
    std::string eyebrow() const;
    // `formattedDay`: the plan's day as "Monday, Jan 5" in the user's locale.
    std::string headerLine(const std::string& formattedDay) const;
    std::string submitTitle() const;
    std::string closeTitle() const;
    int topPadding() const { return m_isWall ? 72 : 36; }
    int closeTopPadding() const { return m_isWall ? 28 : 16; }

    // The day as the header writes it.
    static std::string formattedDay(Date day);

private:
    PlannedBlock* mutableBlock(const std::string& id);

    DayPlan m_plan;
    bool m_isWall;
    std::vector<std::string> m_lastUsedApps;
    bool m_appeared = false;
};

// What one block editor row shows for its block.
namespace BlockEditorRowModel {

inline constexpr int kMinutePresets[] = {25, 45, 60, 90, 120, 180};
// Start times offered: 05:00 to 22:00 in half hours.
inline constexpr int kFirstStartMinute = 300;
inline constexpr int kLastStartMinute = 1320;
inline constexpr int kStartStep = 30;

struct MenuItem
{
    std::string title;
    std::optional<int> value;

    bool operator==(const MenuItem&) const = default;
};

// A locked block with a task but no applications.
bool needsApps(const PlannedBlock& block);
// "Pick apps", "1 app", "3 apps".
std::string appsLabel(const PlannedBlock& block);
// "90m", whatever the stored length.
std::string minutesLabel(const PlannedBlock& block);
std::vector<MenuItem> minutesMenu();
// The block's start as "13:30", or "No time".
std::string timeLabel(const PlannedBlock& block);
// "No time", then every half hour from 05:00 to 22:00.
std::vector<MenuItem> timeMenu();
std::string modeLabel(BlockMode mode);
std::string modeItemTitle(BlockMode mode);
std::string modeToolTip(BlockMode mode);
std::string appsToolTip();
std::string taskPlaceholder();
// What the picker starts with: the block's own apps, or the last-used ones for a block that
// has none.
std::set<std::string> pickerSelection(const PlannedBlock& block,
                                      const std::vector<std::string>& lastUsed);

} // namespace BlockEditorRowModel
} // namespace kestrove
