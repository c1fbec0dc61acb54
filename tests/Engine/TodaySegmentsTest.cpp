#include "Engine/TodaySegments.h"

#include "support/EngineRig.h"
#include "support/FullReadFigures.h"
#include "support/TimeZone.h"

#include "core/Calendar.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

using namespace kestrove;

namespace {

// Offsets in seconds from the start of the day, and the application's name.
using Span = std::tuple<double, double, std::string>;

class TodaySegmentsTest : public ::testing::Test
{
protected:
    ScopedTimeZone tz{"Europe/Berlin"};
    const Date day = Calendar::date(2026, 3, 10);

    Segment segment(const Span& span) const
    {
        Segment s;
        s.start = day + std::get<0>(span);
        s.end = day + std::get<1>(span);
        s.appName = std::get<2>(span);
        s.windowTitle = "a title";
        s.kind = ContextKind::deep;
        return s;
    }
    std::vector<Segment> segments(const std::vector<Span>& spans) const
    {
        std::vector<Segment> result;
        for (const Span& span : spans) {
            result.push_back(segment(span));
        }
        return result;
    }
    std::vector<Span> spans(const std::vector<Segment>& kept) const
    {
        std::vector<Span> result;
        for (const Segment& s : kept) {
            result.emplace_back(s.start - day, s.end - day, s.appName);
        }
        return result;
    }
};

// The engine's timer by hand: the fake scheduler would replay a stopped process second by second.
void tick(EngineRig& rig, int seconds = 1, double step = 1)
{
    for (int i = 0; i < seconds; ++i) {
        rig.clock.advance(step);
        rig.engine->secondTick();
        rig.settle();
    }
}

} // namespace

TEST_F(TodaySegmentsTest, ClosedSegmentsJoinInTheOrderAndCutOfARead)
{
    struct Case
    {
        const char* what;
        std::vector<Span> read;
        std::vector<Span> closedDuringRead;
        std::vector<Span> closedAfter;
        bool covers;
        std::vector<Span> kept;
    };
    const Case cases[] = {
        {"in order", {{0, 10, "A"}}, {}, {{10, 20, "B"}}, true, {{0, 10, "A"}, {10, 20, "B"}}},
        {"equal start after",
         {{10, 20, "A"}},
         {},
         {{10, 30, "B"}},
         true,
         {{10, 20, "A"}, {10, 30, "B"}}},
        {"during the read, after its rows",
         {{0, 10, "A"}},
         {{20, 30, "C"}},
         {},
         true,
         {{0, 10, "A"}, {20, 30, "C"}}},
        {"yesterday's dropped", {{0, 10, "A"}}, {}, {{-100, -50, "X"}}, true, {{0, 10, "A"}}},
        {"tomorrow's dropped", {}, {}, {{86400, 86410, "X"}}, true, {}},
        {"empty dropped", {}, {}, {{30, 30, "X"}}, true, {}},
        {"cut at the day's end", {}, {}, {{86000, 86500, "A"}}, true, {{86000, 86400, "A"}}},
        {"begun before midnight", {}, {}, {{-60, 30, "X"}}, false, {}},
        {"begun before midnight, during the read", {}, {{-60, 30, "X"}}, {}, false, {}},
        {"clock went back", {{100, 200, "A"}}, {}, {{50, 60, "B"}}, false, {{100, 200, "A"}}},
    };
    for (const Case& c : cases) {
        TodaySegments today;
        today.readSent();
        for (const Segment& s : segments(c.closedDuringRead)) {
            today.add(s);
        }
        // The engine trims the read's rows on the database's thread.
        std::vector<Segment> rows = segments(c.read);
        for (Segment& row : rows) {
            TodaySegments::keepFiguresOnly(row);
        }
        today.readFinished(day, std::move(rows));
        for (const Segment& s : segments(c.closedAfter)) {
            today.add(s);
        }
        EXPECT_EQ(today.covers(day), c.covers) << c.what;
        if (c.covers) {
            EXPECT_EQ(spans(today.segments()), c.kept) << c.what;
        }
        for (const Segment& s : today.segments()) {
            EXPECT_EQ(s.windowTitle, "") << c.what << ": only what the figures read is kept";
        }
    }
}

TEST_F(TodaySegmentsTest, AChangeWhileTheReadRunsOrAFailedReadCoversNothing)
{
    TodaySegments today;
    EXPECT_FALSE(today.covers(day));
    today.add(segment({0, 10, "before any read"}));
    today.readSent();
    today.invalidate();
    today.readFinished(day, segments({{0, 10, "A"}}));
    EXPECT_FALSE(today.covers(day)) << "the read may have run before the change";
    today.readSent();
    today.readFinished(day, segments({{0, 10, "A"}}));
    EXPECT_TRUE(today.covers(day));
    EXPECT_FALSE(today.covers(Calendar::addingDays(day, 1)));
    today.readSent();
    today.readFailed();
    EXPECT_FALSE(today.covers(day));
}

TEST_F(TodaySegmentsTest, TheOpenSegmentIsSortedInFromMidnightAndTakenOutAgain)
{
    struct Case
    {
        const char* what;
        Span open;
        double now;
        std::vector<Span> seen;
    };
    const Case cases[] = {
        {"at the end", {20, 20, "O"}, 25, {{0, 10, "A"}, {10, 20, "B"}, {20, 25, "O"}}},
        {"after equal starts", {10, 10, "O"}, 15, {{0, 10, "A"}, {10, 20, "B"}, {10, 15, "O"}}},
        {"from midnight", {-50, -50, "O"}, 5, {{0, 10, "A"}, {0, 5, "O"}, {10, 20, "B"}}},
        {"not yet begun", {30, 30, "O"}, 30, {{0, 10, "A"}, {10, 20, "B"}}},
    };
    for (const Case& c : cases) {
        TodaySegments today;
        today.readSent();
        today.readFinished(day, segments({{0, 10, "A"}, {10, 20, "B"}}));
        std::vector<Span> seen;
        today.withOpen(segment(c.open), day + c.now,
                       [&](const std::vector<Segment>& all) { seen = spans(all); });
        EXPECT_EQ(seen, c.seen) << c.what;
        EXPECT_EQ(today.segments().size(), 2u) << c.what;
    }
}

// Whatever happened to the record, the figures published after the next rebuild are those of a
// whole read of the day.
TEST_F(TodaySegmentsTest, EngineFiguresEqualAFullReadAfterEachKindOfChange)
{
    struct Case
    {
        const char* what;
        Date start;
        std::function<void(EngineRig&)> act;
    };
    const Case cases[] = {
        {"a segment open across midnight closes", Calendar::date(2026, 3, 10, 23, 59, 0),
         [](EngineRig& rig) {
             tick(rig, 90);
             rig.show("com.spotify.client");
         }},
        {"the process stood still", Calendar::date(2026, 3, 10, 9, 0, 0),
         [](EngineRig& rig) {
             tick(rig, 30);
             tick(rig, 1, 600);
             tick(rig, 20);
         }},
        {"the clock went back", Calendar::date(2026, 3, 10, 9, 0, 0),
         [](EngineRig& rig) {
             tick(rig, 60);
             rig.show("com.spotify.client");
             tick(rig, 5);
             rig.clock.advance(-70);
             rig.show("com.jetbrains.clion");
             tick(rig, 5);
             rig.show("org.gnome.nautilus");
         }},
        {"a flicker too short to keep", Calendar::date(2026, 3, 10, 9, 0, 0),
         [](EngineRig& rig) {
             tick(rig, 30);
             rig.show("com.spotify.client");
             rig.show("com.jetbrains.clion", "other");
         }},
        {"a project renamed in the stored history", Calendar::date(2026, 3, 10, 9, 0, 0),
         [](EngineRig& rig) {
             tick(rig, 40);
             rig.show("com.spotify.client");
             tick(rig, 2);
             rig.engine->database().run(
                 [](Database& db) { db.assignUnassigned("com.jetbrains.clion", "Parser", {}); });
             rig.engine->requestRefresh();
         }},
    };
    for (const Case& c : cases) {
        EngineRig rig(c.start);
        rig.show("com.jetbrains.clion");
        rig.start();
        c.act(rig);
        // A closed segment makes the next tick rebuild.
        rig.show("org.kde.kate", "last");
        tick(rig);
        ASSERT_EQ(rig.engine->todayBuiltAt(), rig.clock.now()) << c.what;
        const FullReadFigures expected(rig);
        EXPECT_TRUE(expected.matches(*rig.engine))
            << c.what << "\n kept:      " << FullReadFigures::describe(rig.engine->today())
            << "\n full read: " << FullReadFigures::describe(expected.today);
        EXPECT_GT(expected.today.trackedSeconds(), 0) << c.what;
    }
}
