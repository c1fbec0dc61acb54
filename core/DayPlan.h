#pragma once

#include "core/Date.h"
#include "core/JsonCoding.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrove {

// The plan entry a block serves: one of the urgent or maintenance items, or the project.
class PlanSlot
{
public:
    enum class Kind
    {
        urgent,
        maintenance,
        project
    };

    static PlanSlot urgent(int index) { return {Kind::urgent, index}; }
    static PlanSlot maintenance(int index) { return {Kind::maintenance, index}; }
    static PlanSlot project() { return {Kind::project, 0}; }
    // "project", "urgent:N", "maintenance:N"; nullopt for any other text.
    static std::optional<PlanSlot> fromCode(std::string_view code);

    Kind kind() const { return m_kind; }
    // The item's index into the trimmed urgent or maintenance list; 0 for the project.
    int index() const { return m_index; }
    std::string code() const;

    bool operator==(const PlanSlot&) const = default;

private:
    PlanSlot(Kind kind, int index) : m_kind(kind), m_index(index) {}

    Kind m_kind;
    int m_index;
};

// How a block runs: every other application walled off, or away from the computer.
enum class BlockMode
{
    locked,
    away
};

namespace BlockModes {
std::optional<BlockMode> fromRawValue(std::string_view text);
}
std::string_view rawValue(BlockMode mode);
std::string_view label(BlockMode mode);
// The symbol name the views map to their icon.
std::string_view icon(BlockMode mode);

// One planned deep-work block, and what happened to it once it ran as a focus task.
struct PlannedBlock
{
    static constexpr int kMinMinutes = 5;
    static constexpr int kMaxMinutes = 480;

    // The bundle identifiers are stored lower-cased, in order, duplicates kept.
    PlannedBlock(std::string id, std::string task, int minutes, std::optional<PlanSlot> serves,
                 std::optional<int> startMinuteOfDay, std::optional<Date> startedAt,
                 std::optional<Date> endedAt, std::optional<std::string> focusTaskID,
                 std::optional<double> actualOnTaskSeconds,
                 std::vector<std::string> allowedBundleIDs, BlockMode mode);

    std::string id; // UUID, kept across edits of the plan
    std::string task;
    int minutes;
    std::optional<PlanSlot> serves;
    std::optional<int> startMinuteOfDay; // minutes after local midnight
    std::optional<Date> startedAt;
    std::optional<Date> endedAt;
    std::optional<std::string> focusTaskID;
    std::optional<double> actualOnTaskSeconds;
    std::vector<std::string> allowedBundleIDs;
    BlockMode mode;

    double seconds() const { return minutes * 60.0; }
    bool hasApps() const { return mode == BlockMode::away || !allowedBundleIDs.empty(); }
    bool isAway() const { return mode == BlockMode::away; }
    double loggedSeconds() const { return actualOnTaskSeconds.value_or(0); }
    bool hasPartialProgress() const;
    bool isDone() const { return endedAt.has_value(); }
    bool isRunning() const { return startedAt && !endedAt; }
    bool hasValidMinutes() const { return minutes >= kMinMinutes && minutes <= kMaxMinutes; }
    // "09:05" for a start within the day; nullopt otherwise.
    std::optional<std::string> timeLabel() const;

    // Makes the block runnable again; its logged time and apps stay.
    void reopen();

    JsonCoding::Json toJson() const;
    // Throws JsonCoding::DecodeError; identifiers are taken as stored.
    static PlannedBlock fromJson(const JsonCoding::Json& json);
    static JsonCoding::Json listToJson(const std::vector<PlannedBlock>& blocks);
    // One bad block fails the whole list.
    static std::vector<PlannedBlock> listFromJson(const JsonCoding::Json& json);

    bool operator==(const PlannedBlock&) const = default;
};

// The day's plan as written in the morning, one per local day.
struct DayPlan
{
    static constexpr std::size_t kMaxUrgent = 2;
    static constexpr std::size_t kMaxMaintenance = 3;

    // Writes a day as the plan's heading: "Monday, 5 Jan 2026" in English.
    using DayFormatter = std::function<std::string(Date)>;

    Date day = 0; // start of the local day
    Date createdAt = 0;
    std::optional<Date> completedAt;
    std::optional<Date> skippedAt;
    std::string context;
    std::string soWhat;
    std::string project;
    std::vector<std::string> urgent;
    std::vector<std::string> maintenance;
    std::string other;
    std::vector<PlannedBlock> blocks;

    static DayPlan empty(Date day, Date now);

    bool isComplete() const { return completedAt.has_value(); }
    bool isSkipped() const { return skippedAt.has_value(); }

    // What keeps the plan from being submitted, as words for the form; empty when nothing does.
    std::vector<std::string> missing() const;
    bool isSubmittable() const { return missing().empty(); }
    std::vector<std::string> urgentTrimmed() const;
    std::vector<std::string> maintenanceTrimmed() const;
    std::optional<std::string> label(const PlanSlot& slot) const;
    // Timed blocks by start (ties in plan order), then untimed blocks in plan order.
    std::vector<PlannedBlock> orderedBlocks() const;
    // The first block in display order that is neither running nor done.
    std::optional<PlannedBlock> nextBlock() const;
    double plannedDeepSeconds() const;
    int doneBlockCount() const;

    // The edited plan, keeping what already happened in the stored plan of the same day.
    DayPlan preservingHistory(const std::optional<DayPlan>& stored) const;
    // Replaces the block with the same id; does nothing when there is none.
    void update(const PlannedBlock& block);

    // The plan as plain text for the clipboard.
    std::string asText(const DayFormatter& formatDay = defaultDayFormatter) const;
    // "EEEE, d MMM yyyy" in the user's locale.
    static std::string defaultDayFormatter(Date day);

    JsonCoding::Json toJson() const;
    static DayPlan fromJson(const JsonCoding::Json& json); // throws JsonCoding::DecodeError

    bool operator==(const DayPlan&) const = default;
};

} // namespace kestrove
