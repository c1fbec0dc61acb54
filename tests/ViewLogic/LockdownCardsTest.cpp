#include "ViewLogic/Lockdown/BlockingOverlayModel.h"
#include "ViewLogic/Lockdown/TimeUpModel.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kestrove {
namespace {

TEST(BlockingOverlayModelTest, BreakOutSentenceMatching)
{
    const std::string sentence(BlockingOverlayModel::kBreakoutSentence);
    struct Case
    {
        std::string text;
        bool matches;
    };
    const Case cases[] = {
        {sentence, true},
        {"I AM KNOWINGLY DECIDING TO ABANDON MY FOCUSED WORK BLOCK AND SPEND MY LATER SELF'S "
         "TIME.",
         true},
        {"I am  knowingly deciding to abandon my focused work block and spend my later self's "
         "time.",
         true},
        {"I am knowingly deciding to abandon my focused work block\nand spend my later self's "
         "time.",
         true},
        {"  \t" + sentence + " \n", true},
        {"I am knowingly deciding to abandon my focused work block and spend my later self's "
         "time",
         false}, // no full stop
        {"I am knowingly deciding to abandon my focused work block and spend my later self\u2019s "
         "time.",
         false}, // a curly apostrophe
        {"Iam knowingly deciding to abandon my focused work block and spend my later self's time.",
         false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BlockingOverlayModel::matches(c.text), c.matches) << c.text;
    }
}

TEST(BlockingOverlayModelTest, BreakOutCardFlow)
{
    EXPECT_EQ(BlockingOverlayModel::allowLabel("Slack"), "I need Slack for this");
    EXPECT_EQ(BlockingOverlayModel::allowLabel(std::nullopt), "I need this app for this");

    BlockingOverlayModel model;
    model.showBreakOutCard();
    model.setEscapeText("I am knowingly");
    EXPECT_FALSE(model.canBreakOut());
    EXPECT_FALSE(model.pressBreakOut());
    EXPECT_TRUE(model.wiggle());
    model.cancel();
    EXPECT_EQ(model.card(), BlockingOverlayModel::Card::callout);
    model.showBreakOutCard();
    EXPECT_EQ(model.escapeText(), ""); // a new attempt starts empty
    model.setEscapeText(std::string(BlockingOverlayModel::kBreakoutSentence));
    EXPECT_TRUE(model.canBreakOut());
    EXPECT_TRUE(model.pressBreakOut());
}

TEST(BlockingOverlayModelTest, JoltSwingsPastItsRestAndSettlesThere)
{
    BlockingOverlayModel model;
    EXPECT_EQ(model.wiggleOffset(), 0);
    model.pressBreakOut();
    EXPECT_EQ(model.wiggleOffset(), -8);
    model.pressBreakOut();
    EXPECT_EQ(model.wiggleOffset(), 0);

    // Both ways: from where the field is to where it rests, overshooting on the way.
    for (const auto& [from, to] : {std::pair{0.0, -8.0}, std::pair{-8.0, 0.0}}) {
        EXPECT_EQ(BlockingOverlayModel::wiggleAt(from, to, 0), from);
        EXPECT_EQ(BlockingOverlayModel::wiggleAt(from, to, -1), from);
        double furthest = 0;
        for (double t = 0; t < BlockingOverlayModel::kWiggleSettle; t += 0.005) {
            const double position = BlockingOverlayModel::wiggleAt(from, to, t);
            furthest = std::max(furthest, (position - from) / (to - from));
        }
        EXPECT_GT(furthest, 1.2) << "a lively spring swings well past its rest";
        EXPECT_LT(furthest, 1.5);
        EXPECT_NEAR(
            BlockingOverlayModel::wiggleAt(from, to, BlockingOverlayModel::kWiggleSettle - 0.001),
            to, 0.1);
        EXPECT_EQ(BlockingOverlayModel::wiggleAt(from, to, BlockingOverlayModel::kWiggleSettle),
                  to);
    }
}

TEST(TimeUpModelTest, StepperStaysWithinItsBounds)
{
    TimeUpModel model("Essay");
    EXPECT_EQ(model.minutes(), 15);
    EXPECT_EQ(model.minutesLabel(), "15 more minutes");
    for (int i = 0; i < 5; ++i) {
        model.removeMinutes();
    }
    EXPECT_EQ(model.minutes(), 5);
    EXPECT_FALSE(model.canRemoveMinutes());
    for (int i = 0; i < 30; ++i) {
        model.addMinutes();
    }
    EXPECT_EQ(model.minutes(), 120);
    EXPECT_FALSE(model.canAddMinutes());
    model.removeMinutes();
    EXPECT_EQ(model.minutes(), 115);
}

TEST(TimeUpModelTest, CelebrationFigures)
{
    struct Case
    {
        std::int64_t seconds;
        std::string text;
    };
    for (const auto& c : std::vector<Case>{{0, "0s"},
                                           {45, "45s"},
                                           {59, "59s"},
                                           {60, "1m"},
                                           {3599, "59m"},
                                           {3600, "1h 0m"},
                                           {5430, "1h 30m"},
                                           {3 * 3600 + 5 * 60, "3h 5m"}}) {
        EXPECT_EQ(TimeUpModel::formatDuration(c.seconds), c.text) << c.seconds;
    }

    FocusTask task;
    task.name = "Essay";
    task.startedAt = 1000;
    task.cumulativeOnTaskSeconds = 1500.9;
    task.scoreSamples = {70, 75};
    auto stats = SessionStats::capture(task, 1000 + 3 * 3600 + 5 * 60 + 0.7);
    ASSERT_TRUE(stats);
    EXPECT_EQ(TimeUpModel::statLines(*stats),
              (std::vector<std::pair<std::string, std::string>>{
                  {"Duration", "3h 5m"}, {"On task", "25m"}, {"Avg score", "73"}}));

    task.scoreSamples = {0, 0};
    EXPECT_EQ(SessionStats::capture(task, 500)->avgScore, std::nullopt);
    EXPECT_EQ(SessionStats::capture(task, 500)->durationSeconds, 0); // a clock set back
    task.scoreSamples.clear();
    EXPECT_EQ(TimeUpModel::statLines(*SessionStats::capture(task, 1059)).size(), 2u);
    EXPECT_EQ(SessionStats::capture(std::nullopt, 0), std::nullopt);

    // Done after the task already ended elsewhere: the prompt's name, nothing counted.
    TimeUpModel model("Essay");
    model.celebrate(std::nullopt);
    EXPECT_EQ(model.phase(), TimeUpModel::Phase::celebrating);
    EXPECT_EQ(model.stats(), (SessionStats{"Essay", 0, 0, std::nullopt}));
}

} // namespace
} // namespace kestrove
