#include "core/DayPlan.h"

#include "core/DateText.h"
#include "core/Duration.h"
#include "core/NumberFormat.h"
#include "core/Text.h"
#include "core/Uuid.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <unordered_map>

namespace kestrove {

using JsonCoding::DecodeError;
using JsonCoding::Json;

namespace {

// Splits at the first ":" that follows some text, dropping empty pieces, as the stored codes
// were split when they were written: ":urgent:3" reads as "urgent" and "3".
std::vector<std::string_view> splitOnce(std::string_view text)
{
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != ':') {
            continue;
        }
        if (i > start) {
            pieces.push_back(text.substr(start, i - start));
        }
        start = i + 1;
        if (!pieces.empty()) {
            break;
        }
    }
    if (start < text.size()) {
        pieces.push_back(text.substr(start));
    }
    return pieces;
}

// A decimal whole number with an optional sign; the whole text must be the number.
std::optional<int> parseInteger(std::string_view text)
{
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    int value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string timeOfDay(int minuteOfDay)
{
    return NumberFormat::padded(minuteOfDay / 60, 2) + ":" +
           NumberFormat::padded(minuteOfDay % 60, 2);
}

bool isWithinDay(const std::optional<int>& minuteOfDay)
{
    return minuteOfDay && *minuteOfDay >= 0 && *minuteOfDay <= 1439;
}

std::vector<std::string> trimmedItems(const std::vector<std::string>& items, std::size_t limit)
{
    std::vector<std::string> result;
    for (const auto& item : items) {
        if (result.size() == limit) {
            break;
        }
        if (!Text::isBlank(item)) {
            result.push_back(Text::trimmed(item));
        }
    }
    return result;
}

std::string requireUuid(const Json& json, const char* key)
{
    const std::string value = Uuid::normalized(JsonCoding::requireString(json, key));
    if (value.empty()) {
        throw DecodeError(std::string("key \"") + key + "\": expected a UUID");
    }
    return value;
}

std::optional<std::string> optionalUuid(const Json& json, const char* key)
{
    if (!JsonCoding::optionalString(json, key)) {
        return std::nullopt;
    }
    return requireUuid(json, key);
}

int toInt(std::int64_t value, const char* key)
{
    if (value < INT_MIN || value > INT_MAX) {
        throw DecodeError(std::string("key \"") + key + "\": number out of range");
    }
    return static_cast<int>(value);
}

std::vector<std::string> stringArray(const Json& json, const char* key, bool required)
{
    const auto it = json.find(key);
    if (it == json.end() || it->is_null()) {
        if (required) {
            throw DecodeError(std::string("key \"") + key + "\" not found");
        }
        return {};
    }
    if (!it->is_array()) {
        throw DecodeError(std::string("key \"") + key + "\": expected an array of strings");
    }
    std::vector<std::string> result;
    for (const auto& element : *it) {
        if (!element.is_string()) {
            throw DecodeError(std::string("key \"") + key + "\": expected an array of strings");
        }
        result.push_back(element.get<std::string>());
    }
    return result;
}

PlanSlot decodeSlot(const Json& value)
{
    if (!value.is_string()) {
        throw DecodeError("key \"serves\": expected a string");
    }
    const std::string code = value.get<std::string>();
    if (auto slot = PlanSlot::fromCode(code)) {
        return *slot;
    }
    throw DecodeError("unknown plan slot " + code);
}

} // namespace

// ---- PlanSlot and BlockMode

std::optional<PlanSlot> PlanSlot::fromCode(std::string_view code)
{
    if (code == "project") {
        return project();
    }
    const auto pieces = splitOnce(code);
    if (pieces.size() != 2) {
        return std::nullopt;
    }
    const auto index = parseInteger(pieces[1]);
    if (!index || *index < 0) {
        return std::nullopt;
    }
    if (pieces[0] == "urgent") {
        return urgent(*index);
    }
    if (pieces[0] == "maintenance") {
        return maintenance(*index);
    }
    return std::nullopt;
}

std::string PlanSlot::code() const
{
    switch (m_kind) {
    case Kind::urgent:
        return "urgent:" + NumberFormat::integer(m_index);
    case Kind::maintenance:
        return "maintenance:" + NumberFormat::integer(m_index);
    case Kind::project:
        break;
    }
    return "project";
}

std::optional<BlockMode> BlockModes::fromRawValue(std::string_view text)
{
    if (text == "locked") {
        return BlockMode::locked;
    }
    if (text == "away") {
        return BlockMode::away;
    }
    return std::nullopt;
}

std::string_view rawValue(BlockMode mode)
{
    return mode == BlockMode::away ? "away" : "locked";
}

std::string_view label(BlockMode mode)
{
    return mode == BlockMode::away ? "Away" : "Locked";
}

std::string_view icon(BlockMode mode)
{
    return mode == BlockMode::away ? "figure.walk" : "lock.fill";
}

// ---- PlannedBlock

PlannedBlock::PlannedBlock(std::string id, std::string task, int minutes,
                           std::optional<PlanSlot> serves, std::optional<int> startMinuteOfDay,
                           std::optional<Date> startedAt, std::optional<Date> endedAt,
                           std::optional<std::string> focusTaskID,
                           std::optional<double> actualOnTaskSeconds,
                           std::vector<std::string> allowedBundleIDs, BlockMode mode)
    : id(std::move(id)), task(std::move(task)), minutes(minutes), serves(serves),
      startMinuteOfDay(startMinuteOfDay), startedAt(startedAt), endedAt(endedAt),
      focusTaskID(std::move(focusTaskID)), actualOnTaskSeconds(actualOnTaskSeconds),
      allowedBundleIDs(std::move(allowedBundleIDs)), mode(mode)
{
    for (auto& bundleID : this->allowedBundleIDs) {
        bundleID = Text::lowercased(bundleID);
    }
}

bool PlannedBlock::hasPartialProgress() const
{
    return !endedAt && actualOnTaskSeconds && *actualOnTaskSeconds >= 60;
}

std::optional<std::string> PlannedBlock::timeLabel() const
{
    if (!isWithinDay(startMinuteOfDay)) {
        return std::nullopt;
    }
    return timeOfDay(*startMinuteOfDay);
}

void PlannedBlock::reopen()
{
    startedAt.reset();
    endedAt.reset();
    focusTaskID.reset();
}

Json PlannedBlock::toJson() const
{
    Json json = Json::object();
    json["id"] = id;
    json["task"] = task;
    json["minutes"] = minutes;
    if (serves) {
        json["serves"] = serves->code();
    }
    JsonCoding::putOptional(json, "startMinuteOfDay", startMinuteOfDay);
    JsonCoding::putOptionalDate(json, "startedAt", startedAt);
    JsonCoding::putOptionalDate(json, "endedAt", endedAt);
    JsonCoding::putOptional(json, "focusTaskID", focusTaskID);
    JsonCoding::putOptional(json, "actualOnTaskSeconds", actualOnTaskSeconds);
    json["allowedBundleIDs"] = allowedBundleIDs;
    json["mode"] = rawValue(mode);
    return json;
}

PlannedBlock PlannedBlock::fromJson(const Json& json)
{
    std::optional<PlanSlot> serves;
    if (const auto it = json.find("serves"); it != json.end() && !it->is_null()) {
        serves = decodeSlot(*it);
    }
    std::optional<int> start;
    if (const auto value = JsonCoding::optionalInteger(json, "startMinuteOfDay")) {
        start = toInt(*value, "startMinuteOfDay");
    }
    BlockMode mode = BlockMode::locked;
    if (const auto text = JsonCoding::optionalString(json, "mode")) {
        const auto decoded = BlockModes::fromRawValue(*text);
        if (!decoded) {
            throw DecodeError("unknown block mode " + *text);
        }
        mode = *decoded;
    }
    PlannedBlock block(requireUuid(json, "id"), JsonCoding::requireString(json, "task"),
                       toInt(JsonCoding::requireInteger(json, "minutes"), "minutes"), serves, start,
                       JsonCoding::optionalDate(json, "startedAt"),
                       JsonCoding::optionalDate(json, "endedAt"), optionalUuid(json, "focusTaskID"),
                       JsonCoding::optionalNumber(json, "actualOnTaskSeconds"), {}, mode);
    block.allowedBundleIDs = stringArray(json, "allowedBundleIDs", false);
    return block;
}

Json PlannedBlock::listToJson(const std::vector<PlannedBlock>& blocks)
{
    Json list = Json::array();
    for (const auto& block : blocks) {
        list.push_back(block.toJson());
    }
    return list;
}

std::vector<PlannedBlock> PlannedBlock::listFromJson(const Json& json)
{
    if (!json.is_array()) {
        throw DecodeError("expected an array of blocks");
    }
    std::vector<PlannedBlock> blocks;
    blocks.reserve(json.size());
    for (const auto& element : json) {
        blocks.push_back(fromJson(element));
    }
    return blocks;
}

// ---- DayPlan

DayPlan DayPlan::empty(Date day, Date now)
{
    DayPlan plan;
    plan.day = day;
    plan.createdAt = now;
    return plan;
}

std::vector<std::string> DayPlan::missing() const
{
    bool anyNamed = false;
    bool allValid = true;
    for (const auto& block : blocks) {
        if (Text::isBlank(block.task)) {
            continue;
        }
        anyNamed = true;
        allValid = allValid && block.hasValidMinutes();
    }
    if (!anyNamed) {
        return {"at least one deep work block"};
    }
    if (!allValid) {
        return {"a length between " + NumberFormat::integer(PlannedBlock::kMinMinutes) + " and " +
                NumberFormat::integer(PlannedBlock::kMaxMinutes) + " minutes on every block"};
    }
    return {};
}

std::vector<std::string> DayPlan::urgentTrimmed() const
{
    return trimmedItems(urgent, kMaxUrgent);
}

std::vector<std::string> DayPlan::maintenanceTrimmed() const
{
    return trimmedItems(maintenance, kMaxMaintenance);
}

std::optional<std::string> DayPlan::label(const PlanSlot& slot) const
{
    if (slot.kind() == PlanSlot::Kind::project) {
        if (Text::isBlank(project)) {
            return std::nullopt;
        }
        return Text::trimmed(project);
    }
    const auto items =
        slot.kind() == PlanSlot::Kind::urgent ? urgentTrimmed() : maintenanceTrimmed();
    if (slot.index() < 0 || static_cast<std::size_t>(slot.index()) >= items.size()) {
        return std::nullopt;
    }
    return items[static_cast<std::size_t>(slot.index())];
}

std::vector<PlannedBlock> DayPlan::orderedBlocks() const
{
    std::vector<PlannedBlock> ordered;
    ordered.reserve(blocks.size());
    std::copy_if(blocks.begin(), blocks.end(), std::back_inserter(ordered),
                 [](const PlannedBlock& b) { return b.startMinuteOfDay.has_value(); });
    std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) {
        return *a.startMinuteOfDay < *b.startMinuteOfDay;
    });
    std::copy_if(blocks.begin(), blocks.end(), std::back_inserter(ordered),
                 [](const PlannedBlock& b) { return !b.startMinuteOfDay.has_value(); });
    return ordered;
}

std::optional<PlannedBlock> DayPlan::nextBlock() const
{
    for (auto& block : orderedBlocks()) {
        if (!block.endedAt && !block.isRunning()) {
            return block;
        }
    }
    return std::nullopt;
}

double DayPlan::plannedDeepSeconds() const
{
    double total = 0;
    for (const auto& block : blocks) {
        total += block.seconds();
    }
    return total;
}

int DayPlan::doneBlockCount() const
{
    return static_cast<int>(std::count_if(blocks.begin(), blocks.end(),
                                          [](const PlannedBlock& b) { return b.isDone(); }));
}

DayPlan DayPlan::preservingHistory(const std::optional<DayPlan>& stored) const
{
    if (!stored) {
        return *this;
    }
    DayPlan merged = *this;
    merged.createdAt = stored->createdAt;
    if (stored->completedAt) {
        merged.completedAt = stored->completedAt;
    }
    std::unordered_map<std::string, const PlannedBlock*> storedByID;
    for (const auto& block : stored->blocks) {
        storedByID.emplace(block.id, &block); // the first of two equal ids counts
    }
    for (auto& block : merged.blocks) {
        const auto found = storedByID.find(block.id);
        if (found == storedByID.end()) {
            continue;
        }
        const PlannedBlock& old = *found->second;
        block.startedAt = old.startedAt;
        block.endedAt = old.endedAt;
        block.focusTaskID = old.focusTaskID;
        block.actualOnTaskSeconds = old.actualOnTaskSeconds;
        if (block.allowedBundleIDs.empty()) {
            block.allowedBundleIDs = old.allowedBundleIDs;
        }
    }
    return merged;
}

void DayPlan::update(const PlannedBlock& block)
{
    const auto it = std::find_if(blocks.begin(), blocks.end(),
                                 [&](const PlannedBlock& b) { return b.id == block.id; });
    if (it != blocks.end()) {
        *it = block;
    }
}

std::string DayPlan::asText(const DayFormatter& formatDay) const
{
    std::string text = "Deep work — " + formatDay(day) + "\n\n";
    for (const auto& block : orderedBlocks()) {
        if (Text::isBlank(block.task)) {
            continue;
        }
        text += "- ";
        if (const auto time = block.timeLabel()) {
            text += *time + " · ";
        }
        text += Text::trimmed(block.task) + " · " + NumberFormat::integer(block.minutes) + "m";
        if (block.isAway()) {
            text += " · away";
        }
        text += "\n";
    }
    return text + "\n" + DurationFormat::hm(plannedDeepSeconds()) + " planned";
}

std::string DayPlan::defaultDayFormatter(Date day)
{
    return DateText::formatted(day, "EEEE, d MMM yyyy");
}

Json DayPlan::toJson() const
{
    Json json = Json::object();
    json["day"] = JsonCoding::encodeDate(day);
    json["createdAt"] = JsonCoding::encodeDate(createdAt);
    JsonCoding::putOptionalDate(json, "completedAt", completedAt);
    JsonCoding::putOptionalDate(json, "skippedAt", skippedAt);
    json["context"] = context;
    json["soWhat"] = soWhat;
    json["project"] = project;
    json["urgent"] = urgent;
    json["maintenance"] = maintenance;
    json["other"] = other;
    json["blocks"] = PlannedBlock::listToJson(blocks);
    return json;
}

DayPlan DayPlan::fromJson(const Json& json)
{
    DayPlan plan;
    plan.day = JsonCoding::requireDate(json, "day");
    plan.createdAt = JsonCoding::requireDate(json, "createdAt");
    plan.completedAt = JsonCoding::optionalDate(json, "completedAt");
    plan.skippedAt = JsonCoding::optionalDate(json, "skippedAt");
    plan.context = JsonCoding::requireString(json, "context");
    plan.soWhat = JsonCoding::requireString(json, "soWhat");
    plan.project = JsonCoding::requireString(json, "project");
    plan.urgent = stringArray(json, "urgent", true);
    plan.maintenance = stringArray(json, "maintenance", true);
    plan.other = JsonCoding::requireString(json, "other");
    plan.blocks = PlannedBlock::listFromJson(JsonCoding::require(json, "blocks"));
    return plan;
}

} // namespace kestrove
