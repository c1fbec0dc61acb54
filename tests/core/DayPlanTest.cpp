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
    const std::optional<PlanSlot> none;
    // clang-format off
    const std::vector<std::pair<const char*, std::optional<PlanSlot>>> cases = {
        {"project", PlanSlot::project()}, {"urgent:0", PlanSlot::urgent(0)},
        {"maintenance:2", PlanSlot::maintenance(2)}, {"urgent:+3", PlanSlot::urgent(3)},
        {"urgent:", none}, {":3", none}, {"urgent:-1", none}, {"urgent:1:2", none},
        {"Urgent:1", none}, {"other:1", none}, {"", none}, {"urgent:3x", none},
        {"project:1", none}, {"urgent:99999999999", none}};
    // clang-format on
    for (const auto& [code, expected] : cases) {
        EXPECT_EQ(PlanSlot::fromCode(code), expected) << code;
    }
    for (const auto& slot : {PlanSlot::urgent(1), PlanSlot::maintenance(0), PlanSlot::project()}) {
        EXPECT_EQ(PlanSlot::fromCode(slot.code()), slot) << slot.code();
    }
}

TEST(PlannedBlock, DerivedValues)
{
    PlannedBlock b(Uuid::generate(), "Write", 4, std::nullopt, 545, std::nullopt, std::nullopt,
                   std::nullopt, 59.9, {"Com.Apple.Safari", "com.apple.safari"}, BlockMode::locked);
    EXPECT_EQ(b.allowedBundleIDs,
              (std::vector<std::string>{"com.apple.safari", "com.apple.safari"}));
    EXPECT_FALSE(b.hasPartialProgress());
    b.actualOnTaskSeconds = 60;
    EXPECT_TRUE(b.hasPartialProgress());
    b.endedAt = 5000;
    EXPECT_FALSE(b.hasPartialProgress());
    b.startedAt = 4000;
    b.focusTaskID = Uuid::generate();
    b.reopen();
    EXPECT_FALSE(b.startedAt || b.endedAt || b.focusTaskID);
    EXPECT_EQ(b.loggedSeconds(), 60);

    for (const auto& [minutes, valid] :
         {std::pair{4, false}, {5, true}, {480, true}, {481, false}}) {
        EXPECT_EQ(block("x", minutes).hasValidMinutes(), valid) << minutes;
    }
    const std::optional<std::string> noLabel;
    // clang-format off
    const std::vector<std::pair<std::optional<int>, std::optional<std::string>>> labels = {
        {0, "00:00"}, {545, "09:05"}, {1439, "23:59"}, {1440, noLabel}, {-1, noLabel},
        {std::nullopt, noLabel}};
    // clang-format on
    for (const auto& [start, label] : labels) {
        EXPECT_EQ(block("x", 30, start).timeLabel(), label);
    }
    EXPECT_TRUE(block("x", 30, {}, BlockMode::away).hasApps());
    EXPECT_FALSE(block("x", 30).hasApps());
}

TEST(PlannedBlock, JsonFormAndDecodeFailures)
{
    const PlannedBlock bare("B", "Write", 30, {}, {}, {}, {}, {}, {}, {}, BlockMode::locked);
    EXPECT_EQ(bare.toJson().dump(),
              R"({"id":"B","task":"Write","minutes":30,"allowedBundleIDs":[],"mode":"locked"})");

    const PlannedBlock full(Uuid::generate(), "Edit", 60, PlanSlot::maintenance(1), 600,
                            kReferenceDateOffset + 10, kReferenceDateOffset + 20, Uuid::generate(),
                            42.5, {"org.mozilla.firefox"}, BlockMode::away);
    EXPECT_EQ(full.toJson()["serves"], "maintenance:1");
    EXPECT_EQ(full.toJson()["startedAt"], 10.0);
    EXPECT_EQ(PlannedBlock::fromJson(full.toJson()), full);

    const std::string id = Uuid::generate();
    const auto decode = [&](const std::string& fields) {
        return PlannedBlock::fromJson(Json::parse(R"({"id":")" + id + "\"," + fields + "}"));
    };
    const auto old = decode(R"("task":"t","minutes":30,"startedAt":null)");
    EXPECT_TRUE(old.allowedBundleIDs.empty());
    EXPECT_EQ(old.mode, BlockMode::locked);
    EXPECT_FALSE(old.startedAt);
    EXPECT_EQ(decode(R"("task":"t","minutes":30,"allowedBundleIDs":["Com.X"])").allowedBundleIDs,
              std::vector<std::string>{"Com.X"});

    // clang-format off
    const std::vector<std::pair<std::string, std::string>> failures = {
        {R"("task":"t")", "minutes"}, {R"("minutes":30)", "task"},
        {R"("task":"t","minutes":"30")", "minutes"},
        {R"("task":"t","minutes":30,"serves":"urgent:x")", "unknown plan slot urgent:x"},
        {R"("task":"t","minutes":30,"mode":"remote")", "remote"},
        {R"("task":"t","minutes":30,"focusTaskID":"nope")", "focusTaskID"}};
    // clang-format on
    for (const auto& [fields, message] : failures) {
        try {
            decode(fields);
            ADD_FAILURE() << fields;
        } catch (const JsonCoding::DecodeError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
    const Json list = Json::array({full.toJson(), Json::parse(R"({"id":")" + id + R"("})")});
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
        {{block("A", 480), block("B", 481)}, {length}}};
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
    PlannedBlock& renamed = edited.blocks[1];
    renamed.task = "Write the report";
    renamed.minutes = 90;
    renamed.startedAt.reset();
    renamed.actualOnTaskSeconds = 5;
    renamed.allowedBundleIDs.clear();

    // The new name and length stay; what happened, and when the plan was made and done, return.
    DayPlan expected = edited;
    expected.createdAt = 500;
    expected.completedAt = 600;
    expected.blocks[1] = started;
    expected.blocks[1].task = renamed.task;
    expected.blocks[1].minutes = 90;
    const DayPlan merged = edited.preservingHistory(stored);
    EXPECT_EQ(merged, expected);
    EXPECT_EQ(edited.preservingHistory(std::nullopt), edited);

    PlannedBlock replacement = merged.blocks[1];
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
