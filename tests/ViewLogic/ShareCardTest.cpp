#include "ViewLogic/Share/ShareCard.h"
#include "ViewLogic/Share/ShareCardLayout.h"

#include "Storage/Database.h"
#include "core/Calendar.h"
#include "support/TemporaryFolder.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

Segment segment(Date start, Date end, ContextKind kind, std::optional<std::string> project = {})
{
    Segment s;
    s.start = start;
    s.end = end;
    s.kind = kind;
    s.project = std::move(project);
    s.bundleID = "com.microsoft.vscode";
    s.appName = "Code";
    return s;
}

Project project(const std::string& name, const std::string& color)
{
    Project p;
    p.id = name;
    p.name = name;
    p.color = color;
    return p;
}

class ShareCardTest : public ::testing::Test
{
protected:
    ShareCardTest()
    {
        database.open();
        inputs.locale = "en_US";
        inputs.goalHours = 4;
        inputs.now = Calendar::date(2026, 3, 4, 15, 0); // a Wednesday
        inputs.projects = {project("Kestrove", "violet"), project("Thesis", "teal")};
        inputs.recentDays = std::vector<DayTotal>{};
    }

    Date at(int day, int hour, int minute = 0)
    {
        return Calendar::date(2026, 3, day, hour, minute);
    }
    std::int64_t store(const Segment& s) { return database.insertSegment(s); }
    ShareCard day(Date instant)
    {
        inputs.period = SharePeriod::day(instant);
        return buildShareCard(database, inputs, excluded);
    }
    ShareCard week(Date start)
    {
        inputs.period = SharePeriod::week(start, Calendar::addingDays(start, 7));
        return buildShareCard(database, inputs);
    }

    ScopedTimeZone zone{"Europe/Berlin"};
    TemporaryFolder folder;
    Database database{folder.path + "/Kestrove/kestrove.db"};
    ShareCardInputs inputs;
    std::optional<std::int64_t> excluded;
};

} // namespace

// The open segment is stored as a row that keeps growing and is counted from memory as well;
// the row is left out so the live stretch counts once, and only from midnight.
TEST_F(ShareCardTest, TodaysOpenSegmentCountsOnceAndOnlyFromMidnight)
{
    store(segment(at(4, 9), at(4, 10), ContextKind::deep, "Kestrove"));
    Segment open = segment(at(3, 23, 30), at(4, 14, 0), ContextKind::deep, "Thesis");
    excluded = store(open);
    inputs.open = open;
    const ShareCard card = day(inputs.now);
    // 1 h stored, plus midnight to 15:00 from memory.
    EXPECT_DOUBLE_EQ(card.data.deepSeconds, 3600 + 15 * 3600);
    EXPECT_EQ(card.data.eyebrow, "Deep work · today");
    EXPECT_EQ(card.data.title, "Wednesday, Mar 4");
    ASSERT_TRUE(card.data.stripRange);
    EXPECT_EQ(card.data.stripRange->start, at(4, 0));
    EXPECT_EQ(card.data.stripRange->end, at(4, 16));
    EXPECT_TRUE(card.postText.starts_with("16h of deep work today.\nMost of it on Thesis (94%)."))
        << card.postText;
}

TEST_F(ShareCardTest, APastDaySpeaksOfThatDay)
{
    store(segment(at(2, 9), at(2, 11), ContextKind::deep, "Kestrove"));
    store(segment(at(2, 11), at(2, 11, 30), ContextKind::shallow));
    // Another day's time is not that day's.
    store(segment(at(4, 9), at(4, 12), ContextKind::deep, "Thesis"));
    inputs.streak.current = 4;
    const ShareCard card = day(at(2, 12));
    EXPECT_EQ(card.data.eyebrow, "Deep work");
    EXPECT_EQ(card.data.title, "Monday, Mar 2");
    EXPECT_DOUBLE_EQ(card.data.deepSeconds, 7200);
    EXPECT_EQ(card.data.headline, "100% of the day's deep work went to Kestrove.");
    EXPECT_EQ(card.data.subline, "2h short of the 4h goal.");
    EXPECT_EQ(card.data.streak, 4); // the engine's current streak, as on today's card
    ASSERT_TRUE(card.data.stripRange);
    EXPECT_LE(card.data.stripRange->end, at(3, 0));
    EXPECT_EQ(card.postText, "2h of deep work on Mar 2.\n"
                             "Most of it on Kestrove (100%).\n"
                             "Longest block: 2h without breaking focus.\n"
                             "Day 4 of hitting the goal.\n"
                             "\n"
                             "Tracked with Kestrove for Linux.");
}

TEST_F(ShareCardTest, APastDayComparesWithTheFourteenDaysBeforeIt)
{
    for (int d = 1; d <= 3; ++d) {
        store(segment(Calendar::date(2026, 2, 20 + d, 9), Calendar::date(2026, 2, 20 + d, 10),
                      ContextKind::deep));
    }
    store(segment(at(2, 9), at(2, 11), ContextKind::deep));
    EXPECT_EQ(day(at(2, 12)).data.subline, "100% above your 3-day average of 1h.");
    // Today takes the engine's recent days instead, none yet: the goal sentence.
    EXPECT_EQ(day(inputs.now).data.subline, "4h left to the 4h goal.");
}

TEST_F(ShareCardTest, HandlesAndProjectRows)
{
    store(segment(at(4, 8), at(4, 9), ContextKind::deep, "A"));
    store(segment(at(4, 9), at(4, 9, 50), ContextKind::deep, "B"));
    store(segment(at(4, 10), at(4, 10, 40), ContextKind::deep, "C"));
    store(segment(at(4, 11), at(4, 11, 30), ContextKind::deep, "D"));
    const std::vector<std::pair<std::optional<std::string>, std::optional<std::string>>> handles = {
        {std::nullopt, std::nullopt}, {"", std::nullopt}, {"  ", "  "}, {"@me", "@me"}};
    for (const auto& [given, shown] : handles) {
        inputs.handle = given;
        EXPECT_EQ(day(inputs.now).data.handle, shown);
    }
    const ShareCard card = day(inputs.now);
    ASSERT_EQ(card.data.projects.size(), 3u);
    EXPECT_EQ(card.data.projects[0].name, "A");
    EXPECT_EQ(card.data.projects[2].name, "C");
}

TEST_F(ShareCardTest, AWeekEndingInTheFutureHasSevenDaysButStopsCountingAtNow)
{
    store(segment(at(2, 9), at(2, 10), ContextKind::deep, "kestrove")); // any case finds it
    store(segment(at(4, 14), at(4, 16), ContextKind::deep, "Thesis"));  // runs past now
    const ShareCard card = week(at(2, 0));
    ASSERT_EQ(card.data.days.size(), 7u);
    EXPECT_EQ(card.data.title, "Mar 2 – Mar 8");
    EXPECT_EQ(card.data.eyebrow, "Deep work · this week");
    EXPECT_DOUBLE_EQ(card.data.goalSeconds, 4 * 3600 * 7);
    ASSERT_EQ(card.data.projects.size(), 2u);
    // Thesis counts to now (1 h), not to the stored end.
    EXPECT_EQ(card.data.projects[0].name, "Thesis");
    EXPECT_DOUBLE_EQ(card.data.projects[1].seconds, 3600);
    EXPECT_EQ(card.data.projects[1].color, "violet");
    EXPECT_EQ(card.data.blockCount, 2);
    EXPECT_FALSE(card.data.stripRange);
}

TEST_F(ShareCardTest, WeekSentences)
{
    const Date start = at(2, 0);
    const auto days = [&](std::vector<double> deep) {
        std::vector<DayTotal> rows;
        for (std::size_t i = 0; i < deep.size(); ++i) {
            rows.push_back({Calendar::addingDays(start, static_cast<int>(i)), deep[i], deep[i]});
        }
        return rows;
    };
    inputs.period = SharePeriod::week(start, Calendar::addingDays(start, 7));
    struct Case
    {
        std::string name;
        std::vector<double> deep;
        std::vector<TimeShare> projects;
        std::vector<Segment> segments;
        std::string headline;
        std::optional<std::string> subline;
        std::string postText;
    };
    const std::string closing = "\n\nTracked with Kestrove for Linux.";
    const std::vector<Case> cases = {
        {"no deep time",
         {0, 0, 0, 0, 0, 0, 0},
         {},
         {},
         "0 active days this week.",
         std::nullopt,
         "0m of deep work this week." + closing},
        {"a top project with more than half",
         {3600, 0, 0, 0, 0, 0, 0},
         {{"Kestrove", 2000, {}}, {"Thesis", 1600, {}}},
         {},
         "56% of the week went to Kestrove.",
         "1h per active day · 0 focus blocks",
         "1h of deep work this week.\nMost of it on Kestrove." + closing},
        {"exactly half is not more than half: the best day, the earlier of two",
         {0, 3600, 3600, 0, 0, 0, 0},
         {{"Kestrove", 3600, {}}, {"Thesis", 3600, {}}},
         {},
         "Best day: Tue, 1h.",
         "1h per active day · 0 focus blocks",
         "2h of deep work this week.\nMost of it on Kestrove." + closing},
        {"unassigned first",
         {60, 0, 0, 0, 0, 0, 0},
         {{"Unassigned", 60, {}}},
         {},
         "Best day: Mon, 1m.",
         "1m per active day · 0 focus blocks",
         "1m of deep work this week." + closing},
        {"a block of exactly half an hour, and the earlier of two equal blocks",
         {3600, 0, 0, 0, 0, 0, 0},
         {},
         {segment(at(2, 9), at(2, 9, 30), ContextKind::deep),
          segment(at(2, 12), at(2, 12, 30), ContextKind::deep)},
         "Best day: Mon, 1h.",
         "1h per active day · 2 focus blocks",
         "1h of deep work this week.\nLongest block: 30m." + closing},
        {"59 seconds is not an active day",
         {59, 0, 0, 0, 0, 0, 0},
         {},
         {},
         "Best day: Mon, <1m.",
         std::nullopt,
         "<1m of deep work this week." + closing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ShareCard card = weekCard(inputs, days(c.deep), c.projects, c.segments);
        EXPECT_EQ(card.data.headline, c.headline);
        EXPECT_EQ(card.data.subline, c.subline);
        EXPECT_EQ(card.postText, c.postText);
        if (c.segments.size() == 2) {
            ASSERT_TRUE(card.data.longestBlock);
            EXPECT_EQ(card.data.longestBlock->start, at(2, 9));
        }
    }
}

TEST_F(ShareCardTest, ReadsThatFailGiveAnEmptyCard)
{
    database.close(); // every read now fails
    const ShareCard today = day(inputs.now);
    EXPECT_DOUBLE_EQ(today.data.deepSeconds, 0);
    EXPECT_EQ(today.data.headline, "No deep work logged yet.");
    EXPECT_FALSE(today.data.longestBlock);
    EXPECT_EQ(today.data.blockCount, 0);
    EXPECT_TRUE(week(at(2, 0)).data.days.empty());
}

TEST(SharePeriodTest, TheWeekOfADayStartsOnTheLocalesFirstWeekday)
{
    const ScopedTimeZone zone("America/New_York");
    const Date sunday = Calendar::date(2026, 3, 8, 10);
    // Sunday first: the week starts today; Monday first: six days earlier.
    EXPECT_EQ(SharePeriod::weekOf(sunday, 1).start, Calendar::date(2026, 3, 8));
    EXPECT_EQ(SharePeriod::weekOf(sunday, 2).start, Calendar::date(2026, 3, 2));
    // Across the change to summer time the week still ends seven calendar days on.
    EXPECT_EQ(SharePeriod::weekOf(sunday, 2).end, Calendar::date(2026, 3, 9));
}

TEST(ShareCardLayoutTest, FiguresFollowTheData)
{
    ShareCardData data;
    data.deepSeconds = 5400;
    data.goalSeconds = 3600;
    data.streak = 2;
    data.projects = {{"Unassigned", 10, "violet"}, {"B", 5400, "teal"}, {"C", 1, {}}, {"D", 1, {}}};
    ShareCardFigures figures = shareCardFigures(data, "en_US");
    EXPECT_EQ(figures.heroUnit, "hrs");
    EXPECT_EQ(figures.goal, "goal 1h · 100%"); // never above 100
    ASSERT_EQ(figures.projects.size(), 3u);
    EXPECT_TRUE(figures.projects[0].unassigned);
    EXPECT_EQ(figures.stats, (std::vector<CardStat>{
                                 {"—", "longest block"}, {"0", "blocks"}, {"2", "day streak"}}));
    EXPECT_DOUBLE_EQ(projectBarWidth(1, 5400, 360), 6);
    EXPECT_DOUBLE_EQ(projectBarWidth(2700, 5400, 360), 180);

    data = {};
    data.days = {{0, 0, 0}, {86400, 59, 59}, {172800, 60, 60}, {259200, 7200, 7200}};
    data.goalSeconds = 0;
    data.streak = 1;
    figures = shareCardFigures(data, "en_US");
    EXPECT_EQ(figures.heroUnit, "min");
    EXPECT_FALSE(figures.goal);
    EXPECT_EQ(figures.stats.size(), 2u);
    ASSERT_EQ(figures.week.size(), 4u);
    EXPECT_EQ(figures.week[0].barHeight, 0);
    EXPECT_EQ(figures.week[1].amount, "");
    EXPECT_EQ(figures.week[1].barHeight, 6); // the floor of a day with some deep time
    EXPECT_EQ(figures.week[2].amount, "1m");
    EXPECT_EQ(figures.week[3].barHeight, ShareCardFigures::kWeekTrackHeight);

    // A week's goal is seven days' goal; each day's bar is measured against one day's.
    data.goalSeconds = 4 * 3600 * 4; // 4 h a day over the 4 days shown
    figures = shareCardFigures(data, "en_US");
    EXPECT_EQ(figures.week[3].barHeight, ShareCardFigures::kWeekTrackHeight / 2);
}
