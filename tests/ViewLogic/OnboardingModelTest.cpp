#include "ViewLogic/Shell/OnboardingModel.h"

#include <gtest/gtest.h>

using namespace kestrove;

TEST(OnboardingModelTest, OnlyTheExactGoalIsHighlighted)
{
    const std::pair<double, int> cases[] = {{4.0, 4}, {2.0, 2}, {8.0, 8}, {4.5, 0}, {7.0, 0}};
    for (const auto& [goal, lit] : cases) {
        int highlighted = 0;
        int count = 0;
        for (const int hours : OnboardingModel::kGoalChoices) {
            if (OnboardingModel::isHighlighted(hours, goal)) {
                highlighted = hours;
                ++count;
            }
        }
        EXPECT_EQ(highlighted, lit) << goal;
        EXPECT_LE(count, 1) << goal;
    }
    EXPECT_EQ(OnboardingModel::goalLabel(4), "4h");
}

TEST(OnboardingModelTest, StepsMoveOnlyPastAGrantedPermissionAndStartEndsThem)
{
    OnboardingModel model;
    EXPECT_FALSE(model.showsBack());
    EXPECT_EQ(model.primaryTitle(), "Continue");
    EXPECT_FALSE(model.isPrimaryEnabled(false));
    EXPECT_FALSE(model.primary(false));
    EXPECT_EQ(model.step(), OnboardingModel::Step::permissions);
    EXPECT_TRUE(model.isDotLit(0));
    EXPECT_FALSE(model.isDotLit(1));

    EXPECT_FALSE(model.primary(true));
    EXPECT_EQ(model.step(), OnboardingModel::Step::goal);
    EXPECT_TRUE(model.showsBack());
    // Past the first step the permission no longer holds the user back.
    EXPECT_TRUE(model.isPrimaryEnabled(false));
    model.back();
    EXPECT_EQ(model.step(), OnboardingModel::Step::permissions);
    model.back();
    EXPECT_EQ(model.step(), OnboardingModel::Step::permissions);

    model.primary(true);
    model.primary(false);
    EXPECT_EQ(model.step(), OnboardingModel::Step::done);
    EXPECT_EQ(model.primaryTitle(), "Start");
    EXPECT_TRUE(model.isDotLit(2));
    EXPECT_TRUE(model.primary(false));
}

TEST(OnboardingModelTest, TextsNameNoOtherPlatform)
{
    for (const std::string& line : OnboardingModel::recordedLines()) {
        EXPECT_EQ(line.find("Mac"), std::string::npos) << line;
    }
    EXPECT_EQ(OnboardingModel::recordedLines()[4],
              "Nothing leaves this computer. No account, no server.");
    EXPECT_EQ(OnboardingModel::doneText().find("menu bar"), std::string::npos);
}
