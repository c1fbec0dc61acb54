#include "ViewLogic/Today/TodayLoader.h"

#include "core/Calendar.h"
#include "support/EngineRig.h"
#include "support/LogCapture.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

Segment stored(Date start, Date end, ContextKind kind)
{
    Segment s;
    s.start = start;
    s.end = end;
    s.kind = kind;
    s.bundleID = "com.microsoft.vscode";
    s.appName = "Code";
    return s;
}

double total(const std::vector<Segment>& segments)
{
    double seconds = 0;
    for (const Segment& s : segments) {
        seconds += s.end - s.start;
    }
    return seconds;
}

} // namespace

TEST(TodayLoaderTest, MergesTheOpenSegmentIntoToday)
{
    const Date day = 1000000;
    const std::vector<Segment> rows = {stored(day + 50, day + 60, ContextKind::deep),
                                       stored(day + 10, day + 20, ContextKind::shallow)};
    // No open segment: the rows stay in the database's order.
    EXPECT_EQ(mergeOpenSegment(rows, std::nullopt, day, day + 100)[0].start, day + 50);

    const auto merged =
        mergeOpenSegment(rows, stored(day - 500, day + 90, ContextKind::deep), day, day + 100);
    ASSERT_EQ(merged.size(), 3u);
    EXPECT_EQ(merged[0].start, day); // began before midnight: from midnight on
    EXPECT_EQ(merged[0].end, day + 100);
    EXPECT_EQ(merged[1].start, day + 10);

    // Nothing left once clipped: not appended.
    EXPECT_EQ(
        mergeOpenSegment(rows, stored(day + 100, day + 100, ContextKind::deep), day, day + 100)
            .size(),
        2u);
}

// The open segment and its stored row are taken together, so a switch of application while
// the read is under way neither loses the closed stretch nor counts it twice.
TEST(TodayLoaderTest, ASegmentClosingDuringTheReadIsCountedOnce)
{
    ScopedTimeZone tz("Europe/Berlin");
    EngineRig rig(Calendar::date(2026, 12, 8, 9, 0));
    rig.start();
    rig.show("com.microsoft.vscode", "a.cpp");
    rig.run(40);
    const Date sent = rig.clock.now();

    TodayLoader loader(*rig.engine);
    std::optional<TodayLoad> result;
    loader.load(Calendar::startOfDay(sent), true, [&](TodayLoad load) { result = load; });
    // The application changes before the answer comes back to the main thread.
    rig.show("com.apple.terminal", "make");
    rig.run(5);
    ASSERT_TRUE(result);
    double deep = 0;
    for (const Segment& s : result->segments) {
        if (s.bundleID == "com.microsoft.vscode") {
            deep += s.end - s.start;
        }
    }
    EXPECT_NEAR(deep, 40, 1.0);
    EXPECT_NEAR(total(result->segments), sent - Calendar::date(2026, 12, 8, 9, 0), 1.0);
}

TEST(TodayLoaderTest, OnlyTheNewestLoadIsApplied)
{
    ScopedTimeZone tz("America/New_York");
    EngineRig rig(Calendar::date(2026, 12, 8, 9, 0));
    rig.start();
    TodayLoader loader(*rig.engine);
    std::vector<Date> applied;
    const Date today = Calendar::startOfDay(rig.clock.now());
    loader.load(Calendar::addingDays(today, -3), false,
                [&](TodayLoad load) { applied.push_back(load.day); });
    loader.load(today, true, [&](TodayLoad load) { applied.push_back(load.day); });
    rig.settle();
    EXPECT_EQ(applied, std::vector<Date>{today});

    // Gone before its answer: nothing is called.
    auto gone = std::make_unique<TodayLoader>(*rig.engine);
    bool called = false;
    gone->load(today, true, [&](TodayLoad) { called = true; });
    gone.reset();
    rig.settle();
    EXPECT_FALSE(called);
}

TEST(TodayLoaderTest, BuildsAPastDayWithTheGraceSetting)
{
    ScopedTimeZone tz("Europe/Berlin");
    const Date now = Calendar::date(2026, 3, 30, 12, 0); // the day after a 23-hour day
    EngineRig rig(now);
    const Date yesterday = Calendar::date(2026, 3, 29);
    {
        Database db(rig.path);
        db.open();
        // Two runs of 200 s with a gap of 170 s: one block within the 3-minute grace.
        const Date nine = yesterday + 7 * 3600; // 08:00 local, after the lost hour
        db.insertSegment(stored(nine, nine + 200, ContextKind::deep));
        db.insertSegment(stored(nine + 200, nine + 370, ContextKind::shallow));
        db.insertSegment(stored(nine + 370, nine + 570, ContextKind::deep));
        // Across midnight into today: clipped to the day.
        db.insertSegment(stored(now - 13 * 3600, now - 11 * 3600, ContextKind::neutral));
    }
    rig.start();
    const struct
    {
        std::int64_t grace;
        std::size_t blocks;
    } cases[] = {{0, 1}, {-2, 1}, {3, 1}, {2, 0}};
    for (const auto& c : cases) {
        rig.prefs.set(SessionEngine::kBlockGraceKey, {c.grace});
        TodayLoader loader(*rig.engine);
        std::optional<TodayLoad> result;
        loader.load(yesterday, false, [&](TodayLoad load) { result = load; });
        rig.settle();
        ASSERT_TRUE(result && result->pastSummary);
        EXPECT_EQ(result->pastSummary->blocks.size(), c.blocks) << "grace " << c.grace;
        EXPECT_EQ(result->pastSummary->deepSeconds, 400);
        EXPECT_EQ(result->pastSummary->neutralSeconds, 3600);
        EXPECT_EQ(result->segments.back().end, Calendar::date(2026, 3, 30));
    }
}

TEST(TodayLoaderTest, AFailedReadIsReportedNotShownAsAnEmptyDay)
{
    EngineRig rig(Calendar::date(2026, 12, 8, 9, 0));
    LogCapture log;
    TodayLoader loader(*rig.engine); // the engine never started: no database is open
    std::optional<TodayLoad> result;
    loader.load(Calendar::date(2026, 12, 7), false, [&](TodayLoad load) { result = load; });
    rig.settle();
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->failed);
    EXPECT_FALSE(result->pastSummary.has_value());
    EXPECT_TRUE(log.contains("today load failed: "));

    // Every poll fails the same way: said once.
    loader.load(Calendar::date(2026, 12, 7), false, [&](TodayLoad load) { result = load; });
    rig.settle();
    EXPECT_EQ(log.count("today load failed: "), 1);
}
