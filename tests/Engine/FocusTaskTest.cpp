#include "core/FocusTask.h"

#include <gtest/gtest.h>

using namespace kestrove;
using JsonCoding::Json;

namespace {

FocusTask sampleTask()
{
    FocusTask task;
    task.id = "6F1C3D2E-0000-4000-8000-000000000001";
    task.name = "Write the report";
    task.estimatedSeconds = 1500;
    task.allowedBundleIDs = {"org.example.editor"};
    task.allowedURLPatterns = {"docs.example.org"};
    task.startedAt = kReferenceDateOffset + 100;
    task.cumulativeOnTaskSeconds = 30;
    task.scoreSamples = {0.5, 1.0};
    return task;
}

} // namespace

TEST(FocusTask, JsonKeepsKeyOrderAndLeavesOutWhatIsAbsent)
{
    FocusTask task = sampleTask();
    task.isAway = true;
    EXPECT_EQ(task.toJson().dump(),
              R"({"id":"6F1C3D2E-0000-4000-8000-000000000001","name":"Write the report",)"
              R"("estimatedSeconds":1500.0,"allowedBundleIDs":["org.example.editor"],)"
              R"("allowedURLPatterns":["docs.example.org"],"startedAt":100.0,)"
              R"("cumulativeOnTaskSeconds":30.0,"scoreSamples":[0.5,1.0],"isLockdown":false,)"
              R"("breakoutAttempts":0})");

    task.endedAt = kReferenceDateOffset + 700;
    task.endedReason = FocusTask::EndReason::brokeOut;
    task.projectID = "0a0b0c0d-0000-4000-8000-000000000002";
    task.projectName = "Thesis";
    const FocusTask back = FocusTask::fromJson(JsonCoding::parse(task.toJson().dump()));
    task.isAway.reset(); // away is never stored
    task.projectID = "0A0B0C0D-0000-4000-8000-000000000002";
    EXPECT_EQ(back, task);
    EXPECT_EQ(back.avgScore(), 0.75);
}

TEST(FocusTask, DecodingDefaultsAndFailures)
{
    Json json = sampleTask().toJson();
    json.erase("isLockdown");
    json.erase("breakoutAttempts");
    const FocusTask task = FocusTask::fromJson(json);
    EXPECT_FALSE(task.isLockdown);
    EXPECT_EQ(task.breakoutAttempts, 0);

    const std::pair<const char*, Json> broken[] = {
        {"scoreSamples", nullptr}, {"endedAt", "yesterday"}, {"endedReason", "paused"},
        {"isLockdown", 1},         {"id", "not-a-uuid"},     {"allowedBundleIDs", Json{1}},
        {"breakoutAttempts", 2.5},
    };
    for (const auto& [key, value] : broken) {
        Json bad = sampleTask().toJson();
        if (value.is_null()) {
            bad.erase(key);
        } else {
            bad[key] = value;
        }
        EXPECT_THROW(FocusTask::fromJson(bad), JsonCoding::DecodeError) << key;
    }
}

TEST(FocusTask, MatchesTheAllowlist)
{
    EXPECT_TRUE(FocusTask{}.matches("COM.KESTROVE.APP", ""));
    EXPECT_FALSE(FocusTask{}.matches("org.example.editor", "https://docs.example.org"));
    const FocusTask task = sampleTask();
    const std::tuple<std::optional<std::string>, std::string, bool> cases[] = {
        {"org.example.editor", "", true},
        {"Org.Example.Editor.Helper", "", true},
        {"org.example.browser", "HTTPS://DOCS.EXAMPLE.ORG/a", true},
        {std::nullopt, "https://docs.example.org", true},
        {std::nullopt, "https://news.example.org", false},
    };
    for (const auto& [bundleID, url, expected] : cases) {
        EXPECT_EQ(task.matches(bundleID, url), expected) << bundleID.value_or("-") << " " << url;
    }
    FocusTask blank = task;
    blank.allowedBundleIDs = {""};
    blank.allowedURLPatterns = {""};
    EXPECT_FALSE(blank.matches("org.example.game", "https://game.example"));

    FocusTask upper = task;
    upper.allowedURLPatterns = {"Docs.Example.ORG"};
    EXPECT_TRUE(upper.matches(std::nullopt, "https://docs.example.org/a"));
    EXPECT_TRUE(upper.matches(std::nullopt, "https://DOCS.example.org/a"));
}
