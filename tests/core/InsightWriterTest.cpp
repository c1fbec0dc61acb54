#include "core/InsightWriter.h"

#include "core/Calendar.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

InsightWriter::Context context(double deep, double shallow = 0, int streak = 0)
{
    InsightWriter::Context c;
    c.today.deepSeconds = deep;
    c.today.shallowSeconds = shallow;
    c.streak = {streak, streak};
    return c;
}

FocusBlock block(Date start, Date end, double deep)
{
    return FocusBlock{start, end, deep, 0, {}, {}};
}

} // namespace

TEST(InsightWriter, HeadlineRulesInOrder)
{
    ScopedTimeZone tz("Europe/Berlin");
    const Date nine = Calendar::date(2026, 1, 5, 9, 5);

    auto nothing = context(59);
    nothing.today.byProject = {{"Thesis", 59, {}}};
    EXPECT_EQ(InsightWriter::headline(nothing), "No deep work logged yet.");

    auto project = context(10000, 5000);
    project.today.byProject = {{"Thesis", 6400, {}}, {"Unassigned", 3600, {}}};
    EXPECT_EQ(InsightWriter::headline(project), "64% of today's deep work went to Thesis.");

    // Exactly half to one project, blocks and hours just under their thresholds, streak 2.
    auto almost = context(3600, 3600, 2);
    almost.today.byProject = {{"Thesis", 1800, {}}, {"Unassigned", 1800, {}}};
    almost.today.blocks = {block(nine, nine + 2699, 2699)};
    almost.today.byHour = {{9, 1799}};
    EXPECT_EQ(InsightWriter::headline(almost), "1 focus block, 50% of active time was deep.");

    auto longest = almost;
    longest.today.blocks.push_back(block(nine, nine + 4500, 4200));
    EXPECT_EQ(InsightWriter::headline(longest, "de_DE"),
              "Longest unbroken block: 1h 10m, 09:05 to 10:20.");

    auto hour = almost;
    hour.today.byHour = {{11, 3120}, {10, 3120}, {9, 100}};
    EXPECT_EQ(InsightWriter::headline(hour), "Deepest hour: 10am, 52m of focus.");

    auto onlyDeep = context(600);
    EXPECT_EQ(InsightWriter::headline(onlyDeep), "0 focus blocks, 100% of active time was deep.");
    EXPECT_EQ(InsightWriter::headline(context(600, 600, 5)), "5 days in a row on goal.");
}

TEST(InsightWriter, ComparisonWithRecentDaysOrGoal)
{
    struct Case
    {
        double deep;
        double goal;
        std::vector<double> recentDeep;
        std::optional<std::string> text;
    };
    const std::vector<Case> cases = {
        {3600, 0, {3600, 7200}, std::nullopt},
        {4 * 3600, 4 * 3600, {3600, 7200}, "Daily goal of 4h reached."},
        {9600, 4 * 3600, {}, "1h 20m left to the 4h goal."},
        {8220, 4 * 3600, {0, 7200, 7200, 7200}, "In line with your 3-day average of 2h."},
        {8280, 4 * 3600, {0, 7200, 7200, 7200}, "15% above your 3-day average of 2h."},
        {3600, 0, {7200, 7200, 7200}, "50% below your 3-day average of 2h."}};
    for (const auto& c : cases) {
        auto ctx = context(c.deep);
        ctx.goalSeconds = c.goal;
        for (const double deep : c.recentDeep) {
            ctx.recentDays.push_back({0, deep, deep});
        }
        EXPECT_EQ(InsightWriter::comparison(ctx), c.text) << c.deep;
    }
}

TEST(InsightWriter, PostText)
{
    EXPECT_EQ(InsightWriter::postText(context(3 * 3600 + 300, 0, 1)),
              "3h 5m of deep work today.\n\nTracked with Kestrove for Linux.");
    auto full = context(10000, 0, 3);
    full.today.byProject = {{"Thesis", 6400, {}}};
    full.today.blocks = {block(0, 2400, 2400)};
    EXPECT_EQ(InsightWriter::postText(full), "2h 46m of deep work today.\n"
                                             "Most of it on Thesis (64%).\n"
                                             "Longest block: 40m without breaking focus.\n"
                                             "Day 3 of hitting the goal.\n\n"
                                             "Tracked with Kestrove for Linux.");
}

TEST(InsightWriter, HourLabels)
{
    const std::vector<std::pair<int, const char*>> cases = {{0, "12am"},  {9, "9am"},  {11, "11am"},
                                                            {12, "12pm"}, {13, "1pm"}, {23, "11pm"},
                                                            {24, "12am"}, {-1, "11pm"}};
    for (const auto& [hour, label] : cases) {
        EXPECT_EQ(InsightWriter::hourLabel(hour), label) << hour;
    }
}
