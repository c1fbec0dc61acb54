#include "core/DayPlan.h"

#include "core/Calendar.h"
#include "core/DateText.h"
#include "core/Uuid.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

using namespace kestrove;
using JsonCoding::Json;

namespace {

PlannedBlock block(const std::string& task, int minutes, std::optional<int> start = std::nullopt,
                   BlockMode mode = BlockMode::locked)
{
    return PlannedBlock(Uuid::generate(), task, minutes, std::nullopt, start, std::nullopt,
                        std::nullopt, std::nullopt, std::nullopt, {}, mode);
}

DayPlan planWith(std::vector<PlannedBlock> blocks)
{
    DayPlan plan = DayPlan::empty(Calendar::date(2026, 1, 5), 1000);
    plan.blocks = std::move(blocks);
    return plan;
}

std::vector<std::string> tasks(const std::vector<PlannedBlock>& blocks)
{
    std::vector<std::string> result;
    for (const auto& b : blocks) {
        result.push_back(b.task);
    }
    return result;
}

} // namespace

TEST(PlanSlot, CodesParseOnlyExactForms)
{
    const std::vector<std::pair<const char*, std::optional<PlanSlot>>> cases = {
        {"project", PlanSlot::project()},
        {"urgent:0", PlanSlot::urgent(0)},
        {"maintenance:2", PlanSlot::maintenance(2)},
        {"urgent:+3", PlanSlot::urgent(3)},
        {"urgent:", std::nullopt},
        {":3", std::nullopt},
        {"urgent:-1", std::nullopt},
        {"urgent:1:2", std::nullopt},
        {"Urgent:1", std::nullopt},
        {"other:1", std::nullopt},
        {"", std::nullopt},
        {"urgent:3x", std::nullopt},
        {"project:1", std::nullopt},
        {"urgent:99999999999", std::nullopt},
    };
    for (const auto& [code, expected] : cases) {
        EXPECT_EQ(PlanSlot::fromCode(code), expected) << code;
    }
    for (const auto& slot : {PlanSlot::urgent(1), PlanSlot::maintenance(0), PlanSlot::project()}) {
        EXPECT_EQ(PlanSlot::fromCode(slot.code()), slot) << slot.code();
    }
    EXPECT_EQ(PlanSlot::urgent(1).code(), "urgent:1");
}

TEST(PlannedBlock, DerivedValues)
{
    PlannedBlock b = block("Write", 5, 545);
    b = PlannedBlock(b.id, b.task, 4, std::nullopt, 545, std::nullopt, std::nullopt, std::nullopt,
                     59.9, {"Com.Apple.Safari", "com.apple.safari"}, BlockMode::locked);
    EXPECT_EQ(b.allowedBundleIDs,
              (std::vector<std::string>{"com.apple.safari", "com.apple.safari"}));
    EXPECT_FALSE(b.hasValidMinutes());
    EXPECT_FALSE(b.hasPartialProgress());
    b.actualOnTaskSeconds = 60;
    EXPECT_TRUE(b.hasPartialProgress());
    b.endedAt = 5000;
    EXPECT_FALSE(b.hasPartialProgress());

    for (const auto& [minutes, valid] :
         std::vector<std::pair<int, bool>>{{4, false}, {5, true}, {480, true}, {481, false}}) {
        EXPECT_EQ(block("x", minutes).hasValidMinutes(), valid) << minutes;
    }
    const std::vector<std::pair<std::optional<int>, std::optional<std::string>>> labels = {
        {0, "00:00"},         {545, "09:05"},     {1439, "23:59"},
        {1440, std::nullopt}, {-1, std::nullopt}, {std::nullopt, std::nullopt}};
    for (const auto& [start, label] : labels) {
        EXPECT_EQ(block("x", 30, start).timeLabel(), label);
    }
    EXPECT_TRUE(block("x", 30, {}, BlockMode::away).hasApps());
    EXPECT_FALSE(block("x", 30).hasApps());

    b.startedAt = 4000;
    b.focusTaskID = Uuid::generate();
    b.reopen();
    EXPECT_FALSE(b.startedAt || b.endedAt || b.focusTaskID);
    EXPECT_EQ(b.loggedSeconds(), 60);
}

TEST(PlannedBlock, JsonFormAndDecodeFailures)
{
    const PlannedBlock bare = block("Write", 30);
    const Json encoded = bare.toJson();
    std::vector<std::string> keys;
    for (const auto& item : encoded.items()) {
        keys.push_back(item.key());
    }
    EXPECT_EQ(keys,
              (std::vector<std::string>{"id", "task", "minutes", "allowedBundleIDs", "mode"}));

    PlannedBlock full(Uuid::generate(), "Edit", 60, PlanSlot::maintenance(1), 600,
                      kReferenceDateOffset + 10, kReferenceDateOffset + 20, Uuid::generate(), 42.5,
                      {"org.mozilla.firefox"}, BlockMode::away);
    const Json fullJson = full.toJson();
    EXPECT_EQ(fullJson["serves"], "maintenance:1");
    EXPECT_EQ(fullJson["startedAt"], 10.0);
    EXPECT_EQ(PlannedBlock::fromJson(fullJson), full);

    const std::string id = Uuid::generate();
    const auto old = PlannedBlock::fromJson(
        Json::parse(R"({"id":")" + id + R"(","task":"t","minutes":30,"startedAt":null})"));
    EXPECT_TRUE(old.allowedBundleIDs.empty());
    EXPECT_EQ(old.mode, BlockMode::locked);
    EXPECT_FALSE(old.startedAt);
    const auto upper = PlannedBlock::fromJson(Json::parse(
        R"({"id":")" + id + R"(","task":"t","minutes":30,"allowedBundleIDs":["Com.X"]})"));
    EXPECT_EQ(upper.allowedBundleIDs, std::vector<std::string>{"Com.X"});

    const std::vector<std::pair<std::string, std::string>> failures = {
        {R"({"id":"ID","task":"t"})", "minutes"},
        {R"({"id":"ID","minutes":30})", "task"},
        {R"({"task":"t","minutes":30})", "id"},
        {R"({"id":"ID","task":"t","minutes":"30"})", "minutes"},
        {R"({"id":"ID","task":"t","minutes":30,"serves":"urgent:x"})",
         "unknown plan slot urgent:x"},
        {R"({"id":"ID","task":"t","minutes":30,"mode":"remote"})", "remote"},
        {R"({"id":"not a uuid","task":"t","minutes":30})", "id"},
    };
    for (auto [text, message] : failures) {
        if (const auto at = text.find("ID"); at != std::string::npos) {
            text.replace(at, 2, id);
        }
        try {
            PlannedBlock::fromJson(Json::parse(text));
            ADD_FAILURE() << text;
        } catch (const JsonCoding::DecodeError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
    const Json list = Json::array({bare.toJson(), Json::parse(R"({"id":")" + id + R"("})")});
    EXPECT_THROW(PlannedBlock::listFromJson(list), JsonCoding::DecodeError);
}

TEST(DayPlan, JsonRoundTripAndRequiredKeys)
{
    DayPlan plan = planWith({block("A", 30, 540), block("B", 60)});
    plan.completedAt = plan.createdAt + 60;
    plan.urgent = {"x", ""};
    plan.soWhat = "ship";
    const Json json = plan.toJson();
    EXPECT_FALSE(json.contains("skippedAt"));
    EXPECT_EQ(DayPlan::fromJson(Json::parse(json.dump())), plan);
    for (const char* key : {"day", "context", "urgent", "blocks", "other"}) {
        Json broken = json;
        broken.erase(key);
        EXPECT_THROW(DayPlan::fromJson(broken), JsonCoding::DecodeError) << key;
    }
}

TEST(DayPlan, MissingNamesWhatKeepsThePlanBack)
{
    const std::string none = "at least one deep work block";
    const std::string length = "a length between 5 and 480 minutes on every block";
    const std::vector<std::pair<std::vector<PlannedBlock>, std::vector<std::string>>> cases = {
        {{}, {none}},
        {{block(" \n\t", 30)}, {none}},
        {{block("A", 4), block(" ", 0)}, {length}},
        {{block("A", 30), block("", 1000)}, {}},
        {{block("A", 480), block("B", 481)}, {length}},
    };
    for (const auto& [blocks, missing] : cases) {
        const DayPlan plan = planWith(blocks);
        EXPECT_EQ(plan.missing(), missing);
        EXPECT_EQ(plan.isSubmittable(), missing.empty());
    }
}

TEST(DayPlan, OrderAndNextBlock)
{
    DayPlan plan = planWith({block("A", 30), block("B", 30, 600), block("C", 30, 540),
                             block("D", 30, 600), block("E", 30)});
    EXPECT_EQ(tasks(plan.orderedBlocks()), (std::vector<std::string>{"C", "B", "D", "A", "E"}));
    EXPECT_EQ(plan.nextBlock()->task, "C");
    plan.blocks[2].startedAt = 10;
    plan.blocks[2].endedAt = 20;
    plan.blocks[1].startedAt = 30;
    EXPECT_EQ(plan.nextBlock()->task, "D");
    EXPECT_EQ(plan.doneBlockCount(), 1);
    for (auto& b : plan.blocks) {
        b.startedAt = 40;
    }
    EXPECT_FALSE(plan.nextBlock());
    plan.blocks[4].reopen();
    EXPECT_EQ(plan.nextBlock()->task, "E");
    EXPECT_EQ(plan.plannedDeepSeconds(), 150 * 60);
}

TEST(DayPlan, LabelsUseTrimmedItems)
{
    DayPlan plan = planWith({});
    plan.urgent = {"", "  ", "x"};
    plan.maintenance = {"", "a", "b", " c ", "d"};
    plan.project = "  Thesis ";
    EXPECT_EQ(plan.label(PlanSlot::urgent(0)), "x");
    EXPECT_EQ(plan.label(PlanSlot::urgent(1)), std::nullopt);
    EXPECT_EQ(plan.maintenanceTrimmed(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(plan.label(PlanSlot::maintenance(3)), std::nullopt);
    EXPECT_EQ(plan.label(PlanSlot::project()), "Thesis");
    plan.project = " ";
    EXPECT_EQ(plan.label(PlanSlot::project()), std::nullopt);
}

TEST(DayPlan, PreservingHistoryKeepsWhatHappened)
{
    DayPlan stored = planWith({block("Write", 60), block("Gone", 30)});
    stored.createdAt = 500;
    stored.completedAt = 600;
    stored.skippedAt = 550;
    PlannedBlock& started = stored.blocks[0];
    started.startedAt = 700;
    started.focusTaskID = Uuid::generate();
    started.actualOnTaskSeconds = 90;
    started.allowedBundleIDs = {"org.gnome.gedit"};

    DayPlan edited = planWith({block("New", 20), started});
    edited.blocks[1].task = "Write the report";
    edited.blocks[1].minutes = 90;
    edited.blocks[1].startedAt.reset();
    edited.blocks[1].actualOnTaskSeconds = 5;
    edited.blocks[1].allowedBundleIDs.clear();
    edited.skippedAt.reset();

    const DayPlan merged = edited.preservingHistory(stored);
    EXPECT_EQ(merged.createdAt, 500);
    EXPECT_EQ(merged.completedAt, 600);
    EXPECT_FALSE(merged.skippedAt);
    ASSERT_EQ(merged.blocks.size(), 2u);
    EXPECT_EQ(merged.blocks[0], edited.blocks[0]);
    const PlannedBlock& kept = merged.blocks[1];
    EXPECT_EQ(kept.task, "Write the report");
    EXPECT_EQ(kept.minutes, 90);
    EXPECT_EQ(kept.startedAt, 700);
    EXPECT_EQ(kept.focusTaskID, started.focusTaskID);
    EXPECT_EQ(kept.actualOnTaskSeconds, 90);
    EXPECT_EQ(kept.allowedBundleIDs, started.allowedBundleIDs);
    EXPECT_EQ(edited.preservingHistory(std::nullopt), edited);

    PlannedBlock replacement = kept;
    replacement.endedAt = 900;
    DayPlan updated = merged;
    updated.update(replacement);
    EXPECT_EQ(updated.blocks[1], replacement);
    updated.update(block("Unknown", 30));
    EXPECT_EQ(updated.blocks.size(), 2u);
}

TEST(DayPlan, PlainText)
{
    ScopedTimeZone tz("Europe/Berlin");
    DayPlan plan = planWith({block("Edit video", 60, std::nullopt, BlockMode::away),
                             block("  Write the report ", 90, 540), block(" ", 30, 1440)});
    const auto english = [](Date day) {
        return DateText::formatted(day, "EEEE, d MMM yyyy", "en_US");
    };
    EXPECT_EQ(plan.asText(english), "Deep work — Monday, 5 Jan 2026\n\n"
                                    "- 09:00 · Write the report · 90m\n"
                                    "- Edit video · 60m · away\n\n"
                                    "3h planned");
    plan.blocks[2].task = "Late";
    EXPECT_NE(plan.asText(english).find("- Late · 30m"), std::string::npos);
    plan.blocks.clear();
    EXPECT_EQ(plan.asText(english), "Deep work — Monday, 5 Jan 2026\n\n\n0m planned");
}
